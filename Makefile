# Two commands do everything on a fresh Debian 12 machine:
#   make run    installs what is missing, builds Tonarel and starts it
#   make test   installs what is missing, builds every test with sanitizers and runs them,
#               then builds and tests the core and tonarel-analyze alone, without Qt
# and, for developers:
#   make bench    builds and runs the benchmarks (optimised build)
#   make package  builds the Debian package from the optimised build of `make run`
#   make fuzz     builds the fuzz harnesses with clang and runs each for
#                 FUZZ_SECONDS (default 300) seconds

JOBS       ?= $(shell nproc)
RUN_DIR    := build/release
TEST_DIR   := build/test
CORE_DIR   := build/core
BENCH_DIR  := build/bench
FUZZ_DIR   := build/fuzz
FUZZ_SECONDS ?= 300
FUZZ_HARNESSES := capture precise soundfile temperament numbers scala tracker piano
PACKAGE_DIR := build/package

.PHONY: run test bench package fuzz clean

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
	cmake -S . -B $(CORE_DIR) -DCMAKE_BUILD_TYPE=Debug -DTONAREL_GUI=OFF -DTONAREL_WERROR=ON
	cmake --build $(CORE_DIR) -j$(JOBS)
	cd $(CORE_DIR) && ctest --output-on-failure -j$(JOBS)

bench:
	tools/install-packages.sh bench
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DTONAREL_TESTS=OFF -DTONAREL_BENCHMARKS=ON
	cmake --build $(BENCH_DIR) -j$(JOBS)
	for b in $(BENCH_DIR)/bench/tonarel_bench_*; do $$b; done

# The package is built from the optimised build that `make run` uses (never
# from the sanitizer build of `make test`) and installs under /usr.
package:
	tools/install-packages.sh package
	cmake -S . -B $(RUN_DIR) -DCMAKE_BUILD_TYPE=Release -DTONAREL_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(RUN_DIR) -j$(JOBS)
	cd $(RUN_DIR) && cpack -G DEB -B $(CURDIR)/$(PACKAGE_DIR)
	@ls $(PACKAGE_DIR)/*.deb

fuzz:
	tools/install-packages.sh fuzz
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONAREL_GUI=OFF -DTONAREL_TESTS=OFF -DTONAREL_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target $(addprefix tonarel_fuzz_,$(FUZZ_HARNESSES))
	fuzz/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_HARNESSES)

clean:
	rm -rf build
