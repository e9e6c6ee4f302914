# Front door: `make run` and `make test` work on a fresh Debian 12 machine as root.
BUILD      ?= build
BUILD_SAN  ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: deps build run test test-unit test-e2e test-sanitize bench format clean install deb fuzz

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/src/kivo

# Every test, headless: unit and widget tests offscreen, end-to-end tests under Xvfb.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-unit: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE e2e

test-e2e: build
	cd $(BUILD) && ctest --output-on-failure -L e2e

# The unit and widget tests again, built with AddressSanitizer and UBSan.
test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKIVO_SANITIZE=ON -DKIVO_BUILD_BENCH=OFF
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ctest --output-on-failure -j $(JOBS) -LE e2e

bench: build
	bash bench/run-all.sh $(BUILD)

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

install: build
	cmake --install $(BUILD)

# A Debian package of the built program: $(BUILD)/kivo_VERSION_ARCH.deb.
deb: build
	cd $(BUILD) && cpack -G DEB

# The snapshot reader under libFuzzer (clang, ASan, UBSan) for FUZZ_SECONDS, starting from
# the seeds in fuzz/corpus; what it finds goes to build-fuzz/.
FUZZ_SECONDS ?= 60
fuzz:
	@bash scripts/install-deps.sh fuzz
	cmake -S fuzz -B build-fuzz $(CMAKE_GEN) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz
	mkdir -p build-fuzz/corpus && cp -n fuzz/corpus/* build-fuzz/corpus/
	cd build-fuzz && ./fuzz_snapshot -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 corpus

clean:
	rm -rf $(BUILD) $(BUILD_SAN) build-fuzz
