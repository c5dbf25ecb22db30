# Two commands do everything on a fresh Debian 12 machine:
#   make run    installs what is missing, builds Tonarel and starts it
#   make test   installs what is missing, builds every test with sanitizers and runs them
# and, for developers:
#   make bench  builds and runs the benchmarks (optimised build)
#   make fuzz   builds the fuzz harnesses with clang and runs each for
#               FUZZ_SECONDS (default 300) seconds

JOBS       ?= $(shell nproc)
RUN_DIR    := build/release
TEST_DIR   := build/test
BENCH_DIR  := build/bench
FUZZ_DIR   := build/fuzz
FUZZ_SECONDS ?= 300
FUZZ_HARNESSES := capture temperament numbers

.PHONY: run test bench fuzz clean

run:
	tools/install-packages.sh run
	cmake -S . -B $(RUN_DIR) -DCMAKE_BUILD_TYPE=Release -DTONAREL_TESTS=OFF
	cmake --build $(RUN_DIR) -j$(JOBS) --target tonarel
	cd $(RUN_DIR) && ./tonarel

test:
	tools/install-packages.sh test
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DTONAREL_SANITIZE=ON -DTONAREL_WERROR=ON
	cmake --build $(TEST_DIR) -j$(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j$(JOBS)

bench:
	tools/install-packages.sh bench
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DTONAREL_TESTS=OFF -DTONAREL_BENCHMARKS=ON
	cmake --build $(BENCH_DIR) -j$(JOBS)
	for b in $(BENCH_DIR)/bench/tonarel_bench_*; do $$b; done

fuzz:
	tools/install-packages.sh fuzz
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONAREL_TESTS=OFF -DTONAREL_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target $(addprefix tonarel_fuzz_,$(FUZZ_HARNESSES))
	fuzz/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_HARNESSES)

clean:
	rm -rf build
