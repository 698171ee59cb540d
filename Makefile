# Entry points for building, testing and trying Tessaro. CMake presets do the work.

PRESET ?= $(if $(filter true,$(CI)),ci,dev)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps configure build test bench run demo clean windows windows-test

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

# The Windows build, cross built here with mingw-w64 against Qt for Windows
# (built once into ~/.cache/tessaro-windows), and its tests under Wine.
windows: deps
	HOST_PRESET=$(PRESET) JOBS=$(JOBS) bash scripts/windows/build.sh

windows-test: windows
	bash scripts/windows/test.sh

clean:
	rm -rf build build-windows
