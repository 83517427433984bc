# The two commands a newcomer needs: `make demo` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 30
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps configure build test bench demo run format clean fuzz fuzz-build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

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
