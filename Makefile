# Entry points for building, testing and trying Tessaro. CMake presets do the work.

PRESET ?= $(if $(filter true,$(CI)),ci,dev)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps configure build test bench run demo clean package windows windows-test

# What the program needs to run, without the tests and benchmarks.
PROGRAM_TARGETS = tessaro rar-standin tessaro_manual

# The dev and ci presets both build into build/.
BUILD_DIR = build

deps:
	bash scripts/install-deps.sh

# Configures from scratch; the targets below need it only once per build
# folder (see CONFIGURED). Run it after editing CMakePresets.json.
configure: deps
	cmake --preset $(PRESET)
	@rm -f $(BUILD_DIR)/.configured-*
	@touch $(CONFIGURED)

# Marks a build folder configured with PRESET. Once it is there, the build
# re-runs CMake's configure step itself whenever a CMakeLists.txt or another
# input of it changes, so the Makefile configures only a build folder
# without a cache (a fresh clone, after `make clean`), or one last configured
# with the other preset (CI=true switches dev and ci).
CONFIGURED = $(BUILD_DIR)/.configured-$(PRESET)

$(CONFIGURED): $(if $(wildcard $(BUILD_DIR)/CMakeCache.txt),,FORCE)
	$(MAKE) --no-print-directory configure

.PHONY: FORCE
FORCE:

build: $(CONFIGURED)
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET) -j $(JOBS)

bench: build
	bash scripts/run-benchmarks.sh build/bin

# Tessaro on its own data folder: the program's folder, build/bin. Without
# RAR on the machine a first start gets the stand-in archiver.
run: $(CONFIGURED)
	cmake --build --preset $(PRESET) -j $(JOBS) --target $(PROGRAM_TARGETS)
	bash scripts/run.sh build

demo: $(CONFIGURED)
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
package: $(CONFIGURED)
	cmake --build --preset $(PRESET) -j $(JOBS) --target tessaro_installed_files
	cpack --config build/CPackConfig.cmake

# Keeps the INI and logs of the data folder `make run` uses.
clean:
	bash scripts/clean.sh build
	rm -rf build-windows
