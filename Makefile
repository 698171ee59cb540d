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

clean:
	rm -rf build build-windows
