# The front door: `make run` plays, `make test` runs every test. Both install
# what is missing first (Debian packages, through scripts/install-deps).
BUILD ?= build
BUILD_TYPE ?= Release
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all build deps run test bench check-asan assets-preview clean

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

assets-preview: build
	cmake --build $(BUILD) --target assets-preview

check-asan:
	$(MAKE) test BUILD=build-asan BUILD_TYPE=Debug CMAKE_FLAGS=-DMORVELUND_SANITIZE=ON

clean:
	rm -rf $(BUILD)
