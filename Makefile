# Vantry: `make run` builds and starts the program, `make test` builds and runs every test,
# `make package` builds the .deb.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
GENERATOR  := -G Ninja

.PHONY: run test package deps build build-asan build-fuzz build-tsan test-normal test-asan test-fuzz test-tsan clean

run: build
	./$(BUILD)/src/vantry $(ARGS)

test: test-normal test-asan test-tsan test-fuzz

# The .deb of an installed vantry, written into $(BUILD).
package: build
	cmake --build $(BUILD) --target package

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DVANTRY_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRY_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# The server's tests only: ThreadSanitizer slows everything down several times.
build-tsan: deps
	cmake -S . -B $(TSAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRY_TSAN=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS)

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

test-tsan: build-tsan
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --output-on-failure -j $(JOBS)

# Fuzz targets run one after another: each gets the machine for its bounded time.
test-fuzz: build-fuzz
	cd $(FUZZ_BUILD) && ctest --output-on-failure

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(TSAN_BUILD)
