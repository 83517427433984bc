# The two commands a newcomer needs: `make demo` and `make test`.
JOBS ?= $(shell nproc)
# A test spends most of its time waiting for the simulated units' answers to cross the
# pseudo-terminal, not on a processor (the suite's processor time is under a third of its run time
# added up), so CTest runs four tests for each build job.
TEST_JOBS ?= $(shell expr 4 \* $(JOBS))
FUZZ_SECONDS ?= 30
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

# `make test SANITIZE=1`: everything built and run under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a build folder of its own so that the plain build stays as it is.
# Any finding stops the program with its report and fails the test. Leaks are looked for too (the
# whole suite leaks nothing, Qt's and fontconfig's own memory included), so no leak is passed over.
# A freed block waits in a quarantine of 32 MB, not the default 256, before its memory is used
# again, and a use after free is caught until that much has been freed after it: with the default,
# a long test took fresh pages for nearly all it allocated, which made over half of its page faults
# and up to a third of its processor time, and its process grew to 600 MB with eight tests at once.
ifeq ($(SANITIZE),1)
BUILD ?= build-sanitize
CMAKE_FLAGS += -DTELVO_SANITIZE=ON
export ASAN_OPTIONS ?= halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:print_summary=1:quarantine_size_mb=32
export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1
endif
BUILD ?= build

.PHONY: deps configure build test bench demo run format clean fuzz fuzz-build soak

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# A case that fails is run once more: a fault of the program fails twice, and the output keeps the
# first failure for a look. One that passed only on its second run is named at the end, since it
# holds a fault that comes and goes (every test's reads wait for the simulated units' answers, so
# a loaded machine alone is no such fault); the status stays ctest's.
test: build
	@status=0; (cd $(BUILD) && ctest --output-on-failure -j $(TEST_JOBS) --timeout 300 \
	  --repeat until-pass:2) || status=$$?; scripts/second-run-cases $(BUILD); exit $$status

# Both processor families' random operations tests, SOAK_STEPS (3000 by default) from
# a new seed every run unless TELVO_RANDOM_SEED is set; a failure prints how to repeat it.
SOAK_STEPS ?= 3000
SOAK_TESTS = familyov_filtereditor/familyov_filtereditor_tests \
	family8100_filters/family8100_filters_tests

soak: build
	@seed=$${TELVO_RANDOM_SEED:-$$(date +%s)}; for t in $(SOAK_TESTS); do \
	  echo "$$t: seed $$seed, $(SOAK_STEPS) steps"; \
	  QT_QPA_PLATFORM=offscreen TELVO_RANDOM_SEED=$$seed TELVO_RANDOM_STEPS=$(SOAK_STEPS) \
	    $(BUILD)/tests/$$t --gtest_filter='RandomOperationsTest.*' || exit 1; \
	done

bench: build
	@scripts/run-benchmarks $(BUILD)

# Each parser's fuzzer for FUZZ_SECONDS (default 30) in a separate clang build.
fuzz: deps
	@FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) scripts/run-fuzzers $(BUILD)-fuzz

# The same fuzzers built but not run: CI keeps them buildable.
fuzz-build: deps
	@FUZZ_BUILD_ONLY=1 JOBS=$(JOBS) scripts/run-fuzzers $(BUILD)-fuzz

# Only the three programs the demo runs, not the tests and benchmarks.
DEMO_TARGETS = telvo-sim telvowin telvo-demo-port

demo: configure
	cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	@scripts/demo $(BUILD)

run: build
	$(BUILD)/app/telvowin

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
