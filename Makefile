# The front door: `make run` plays, `make test` runs every test. Both install
# what is missing first (Debian packages, through scripts/install-deps).
BUILD ?= build
BUILD_TYPE ?= Release
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: all build deps run test bench reference-pictures check-asan fuzz assets-preview clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run $(BUILD)

test: build
	scripts/test $(BUILD)

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	scripts/bench $(BUILD)

# The picture test's references: every fixed scene drawn by the code as it is
# at this commit, at every kept window size or only at SIZES (e.g.
# SIZES=1280x720), into tests/fixtures/pictures, by llvmpipe on a private
# Xvfb screen as the picture test draws.
reference-pictures: build
	cd $(BUILD)/data && $(CURDIR)/scripts/with-xvfb $(abspath $(BUILD))/tools/scenes/scenepictures \
		$(CURDIR)/tests/fixtures/pictures $(SIZES)

assets-preview: build
	cmake --build $(BUILD) --target assets-preview

# Sanitizer settings: leaks and undefined behaviour fail the program; the
# game's child processes (end-to-end tests) need the link-order check off
# because stdbuf preloads a library ahead of the runtime.
SANITIZER_ENV = ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1
# Mesa 22 (Debian 12) unloads its driver when a display closes; what the
# driver held for the process's life is then reported as leaked, from a
# library too gone to name. Preloaded, the driver stays mapped, and still
# holds that memory, until exit. Mesa 25 (Debian 13) keeps the driver in
# libgallium, which its GLX library links, so it stays mapped anyway (its
# swrast_dri.so is a small loader); what that GLX library loses itself is
# suppressed in fuzz/lsan.supp.
MESA_DRIVER := $(firstword $(wildcard /usr/lib/*/dri/swrast_dri.so))

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer.
check-asan:
	$(SANITIZER_ENV) $(MAKE) build BUILD=build-asan BUILD_TYPE=Debug CMAKE_FLAGS=-DMORVELUND_SANITIZE=ON
	$(SANITIZER_ENV) LD_PRELOAD=$(MESA_DRIVER) scripts/test build-asan

# Each fuzz target for FUZZ_SECONDS, seeded from the assets of $(BUILD).
fuzz: build
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz $(BUILD) $(FUZZ_BUILD)

clean:
	rm -rf $(BUILD)
