# Two entry points for a new user (as root on Debian 12): `make run` and `make test`.
# Each installs what is missing, builds, and runs.
BUILD ?= build
JOBS  ?= $(shell nproc)

PACKAGES = cmake make g++ g++-mingw-w64-x86-64 wine wine64 xvfb imagemagick googletest zip unzip
# Wine's own fonts: the glyphs of its window frames and captions (close box, scroll arrows).
PACKAGES += fonts-wine
# The fuzz build: clang with libFuzzer and the sanitizers' runtime.
PACKAGES += clang libclang-rt-14-dev
FUZZ_SECONDS ?= 60

.PHONY: all deps build build-win build-native build-fuzz run test test-native test-wine test-fuzz fuzz bench dist clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

CONFIGURE_WIN = cmake -S . -B $(BUILD)/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release

build-win: deps
	$(CONFIGURE_WIN)
	cmake --build $(BUILD)/win -j $(JOBS)

build-native: deps
	cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)/native -j $(JOBS)

build: build-win build-native

run: build-win
	tools/run.sh $(BUILD)

test-native: build-native
	ctest --test-dir $(BUILD)/native --output-on-failure

test-wine: build-win
	tools/with-xvfb.sh $(BUILD)/wineprefix ctest --test-dir $(BUILD)/win --output-on-failure

# The fuzz targets (tests/fuzz/): `make fuzz FUZZ_SECONDS=N` fuzzes each for N seconds;
# `make test` replays the kept corpus of each and fuzzes each for 10 s.
build-fuzz: deps
	cmake -S tests/fuzz -B $(BUILD)/fuzz -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD)/fuzz -j $(JOBS)

fuzz: build-fuzz
	tests/fuzz/run.sh $(BUILD)/fuzz $(FUZZ_SECONDS)

test-fuzz: build-fuzz
	tests/fuzz/run.sh $(BUILD)/fuzz 10

test: test-native test-fuzz test-wine

bench: build
	$(BUILD)/native/bench/kav_bench_native
	tools/with-xvfb.sh $(BUILD)/wineprefix ctest --test-dir $(BUILD)/win -C bench -L bench --output-on-failure

# The download: $(BUILD)/dist/kavlib-<version>.zip with kavlib.exe, samples/ and README.txt.
# Builds the program alone, not the tests.
dist: deps
	$(CONFIGURE_WIN)
	cmake --build $(BUILD)/win -j $(JOBS) --target kavlib
	tools/dist.sh $(BUILD)/win/kavlib.exe $(BUILD)/dist

clean:
	rm -rf $(BUILD)
