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

# A build folder is configured once per preset: .configured-<preset> in it
# says so. From then on the build re-runs CMake's configure step itself
# whenever a CMakeLists.txt or another input of it changes, so the Makefile
# configures only a folder without a cache (a fresh clone, after `make
# clean`) or one last configured with another preset (CI=true switches dev
# and ci).
#   $(call configure-preset,<preset>,<build folder>)
define configure-preset
cmake --preset $(1)
@rm -f $(2)/.configured-*
@touch $(2)/.configured-$(1)
endef
# The prerequisite that makes a folder's mark out of date when it has no cache.
unless-cached = $(if $(wildcard $(1)/CMakeCache.txt),,FORCE)

.PHONY: FORCE
FORCE:

# Configures on request, for example after editing CMakePresets.json.
configure: deps
	$(call configure-preset,$(PRESET),$(BUILD_DIR))

CONFIGURED = $(BUILD_DIR)/.configured-$(PRESET)
$(CONFIGURED): $(call unless-cached,$(BUILD_DIR))
	$(MAKE) --no-print-directory configure

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
	$(MAKE) --no-print-directory build-sanitize/.configured-sanitize
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

# The configuration reader under libFuzzer (clang) for FUZZ_SECONDS, in build-fuzz.
FUZZ_SECONDS ?= 60
fuzz: deps
	bash scripts/install-fuzz-deps.sh
	$(MAKE) --no-print-directory build-fuzz/.configured-fuzz
	cmake --build --preset fuzz -j $(JOBS)
	bash scripts/run-fuzz.sh build-fuzz $(FUZZ_SECONDS)

build-sanitize/.configured-sanitize: $(call unless-cached,build-sanitize)
	$(call configure-preset,sanitize,build-sanitize)

build-fuzz/.configured-fuzz: $(call unless-cached,build-fuzz)
	$(call configure-preset,fuzz,build-fuzz)

# The Linux .deb, in build/package/.
package: $(CONFIGURED)
	cmake --build --preset $(PRESET) -j $(JOBS) --target tessaro_installed_files
	cpack --config build/CPackConfig.cmake

# Keeps the INI and logs of the data folder `make run` uses.
clean:
	bash scripts/clean.sh build
	rm -rf build-windows
