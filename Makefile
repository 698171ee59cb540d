# Entry points for building, testing and trying Tessaro. CMake presets do the work.

PRESET ?= $(if $(filter true,$(CI)),ci,dev)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps configure build test bench run demo clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET) -j $(JOBS)

bench: build
	bash scripts/run-benchmarks.sh build/bin

# Tessaro on its own data folder: the program's folder, build/bin.
run: build
	build/bin/tessaro

demo: build
	bash scripts/demo.sh build

clean:
	rm -rf build
