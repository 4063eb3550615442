# The two commands a newcomer needs: `make run` and `make test`. See README.md.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
DEMO       ?= demo/zefra-banner.lbl
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build programs run test test-asan test-tsan package fuzz bench clean

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the two programs and what they install (man pages): no tests, benchmarks or tools.
programs: configure
	cmake --build $(BUILD) -j $(JOBS) --target zefra_programs

# The main job on the bundled demo: export it as an optimised GIF into out/ and print its
# statistics; then, when there is a display, open the editor on it.
run: programs
	mkdir -p out
	./$(BUILD)/cli/zefra-cli export $(DEMO) out/$(basename $(notdir $(DEMO))).gif
	@if [ -n "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ] && [ -x ./$(BUILD)/app/zefra ]; then \
	  echo "Opening the editor on $(DEMO)"; ./$(BUILD)/app/zefra $(DEMO); \
	else \
	  echo "No display: exported only (open out/ in a browser, or run ./$(BUILD)/app/zefra $(DEMO))"; \
	fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZEFRA_SANITIZE=ON -DZEFRA_BUILD_BENCHMARKS=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The export's threaded paths (frame workers, the CLI exporting in parallel) under
# ThreadSanitizer; any reported race fails the run.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEFRA_SANITIZE_THREAD=ON \
	  -DZEFRA_BUILD_APP=OFF -DZEFRA_BUILD_BENCHMARKS=OFF $(CMAKE_ARGS)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target zefra_export_tests zefra_cli_tests
	cd $(TSAN_BUILD)/tests && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ./zefra_export_tests
	cd $(TSAN_BUILD)/tests && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ./zefra_cli_tests

# zefra_<version>_<arch>.deb in $(BUILD)/package/, built from the programs alone.
package: programs
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/package/*.deb

# A short libFuzzer run of every target, seeded with its corpus.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEFRA_BUILD_FUZZERS=ON \
	  -DZEFRA_BUILD_APP=OFF -DZEFRA_BUILD_TESTS=OFF -DZEFRA_BUILD_BENCHMARKS=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	bash scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	bash scripts/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
