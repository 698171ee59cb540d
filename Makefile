# Entry points for building, testing and trying Tessaro. CMake presets do the work.

PRESET ?= $(if $(filter true,$(CI)),ci,dev)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps configure build test bench run demo clean package

# What the program needs to run, without the tests and benchmarks.
PROGRAM_TARGETS = tessaro rar-standin tessaro_manual

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

# Tessaro on its own data folder: the program's folder, build/bin. Without
# RAR on the machine a first start gets the stand-in archiver.
run: configure
	cmake --build --preset $(PRESET) -j $(JOBS) --target $(PROGRAM_TARGETS)
	bash scripts/run.sh build

demo: configure
	cmake --build --preset $(PRESET) -j $(JOBS) --target $(PROGRAM_TARGETS)
	bash scripts/demo.sh build

# The Linux .deb, in build/package/.
package: configure
	cmake --build --preset $(PRESET) -j $(JOBS) --target $(PROGRAM_TARGETS) tessaro_icon_theme tessaro_debian_files
	cpack --config build/CPackConfig.cmake

# Keeps the INI and logs of the data folder `make run` uses.
clean:
	bash scripts/clean.sh build
