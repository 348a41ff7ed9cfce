# Vantry: `make run` builds the program and starts it, `make test` builds and runs every test
# of every build tree, `make package` builds the .deb.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
GENERATOR  := -G Ninja
export BUILD ASAN_BUILD FUZZ_BUILD TSAN_BUILD JOBS

.PHONY: run test package bench-agenda deps build build-asan build-fuzz build-tsan test-normal test-asan test-fuzz test-tsan clean

# Only the program, its window module and the user guide: no test, no benchmark.
run: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target vantry vantry_guide
	./$(BUILD)/src/vantry $(ARGS)

# Every tree is built and tested even when one before it failed; one summary at the end.
test: deps
	./scripts/test-trees normal asan tsan fuzz

test-normal: deps
	./scripts/test-trees normal
test-asan: deps
	./scripts/test-trees asan
test-tsan: deps
	./scripts/test-trees tsan
test-fuzz: deps
	./scripts/test-trees fuzz

# The .deb of an installed vantry, written into $(BUILD).
package: build
	cmake --build $(BUILD) --target package

# vantry --agenda for a year over 100,000 items against python3-recurring-ical-events,
# run on purpose (a few minutes), never by `make test`.
bench-agenda: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target vantry make_agenda_calendar
	./bench/agenda_vs_peer.sh $(BUILD)

deps:
	./scripts/install-deps

# Each tree is configured once; after that Ninja runs CMake again by itself when a CMake
# file changes.
$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DVANTRY_SANITIZE=ON
$(FUZZ_BUILD)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRY_FUZZ=ON
# The server's tests only: ThreadSanitizer slows everything down several times.
$(TSAN_BUILD)/build.ninja:
	cmake -S . -B $(TSAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTRY_TSAN=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)
build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
build-fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
build-tsan: deps $(TSAN_BUILD)/build.ninja
	cmake --build $(TSAN_BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(TSAN_BUILD) test-logs
