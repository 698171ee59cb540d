# Entry points for building, testing and trying Tessaro. CMake presets do the work.

PRESET ?= $(if $(filter true,$(CI)),ci,dev)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps configure build test bench run demo clean package windows windows-test

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

# The Windows build, cross built here with mingw-w64 against Qt for Windows
# (built once into ~/.cache/tessaro-windows), and its tests under Wine.
windows: deps
	HOST_PRESET=$(PRESET) JOBS=$(JOBS) bash scripts/windows/build.sh

windows-test: windows
	bash scripts/windows/test.sh

.PHONY: sanitize fuzz

# The core and app tests under AddressSanitizer and UBSan, in build-sanitize.
sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

# The configuration reader under libFuzzer (clang) for FUZZ_SECONDS, in build-fuzz.
FUZZ_SECONDS ?= 60
fuzz: deps
	bash scripts/install-fuzz-deps.sh
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	bash scripts/run-fuzz.sh build-fuzz $(FUZZ_SECONDS)

# The Linux .deb, in build/package/.
package: configure
	cmake --build --preset $(PRESET) -j $(JOBS) --target $(PROGRAM_TARGETS) tessaro_icon_theme tessaro_debian_files
	cpack --config build/CPackConfig.cmake

# Keeps the INI and logs of the data folder `make run` uses.
clean:
	bash scripts/clean.sh build
	rm -rf build-windows
