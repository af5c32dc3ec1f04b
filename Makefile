# Quick start: `make run` (the program) and `make test` (all tests).
BUILD      ?= build
FUZZ_BUILD ?= build-fuzz
SANITIZE_BUILD ?= build-sanitize
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 20

.PHONY: all deps configure build run test test-sanitize bench fuzz fuzz-smoke fuzz-long samples \
        install clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Installs into PREFIX (default /usr/local); DESTDIR stages the install elsewhere.
PREFIX ?= /usr/local
install: build
	@DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

run: build
	@scripts/run.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer, in a
# build folder of its own; -O1 without debug information keeps the build short (the
# reports still name every function). Benchmarks are left out of this build.
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DZORIX_SANITIZE=ON \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 \
	  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@scripts/test-sanitize.sh $(SANITIZE_BUILD) $(JOBS)

bench: build
	@scripts/bench.sh $(BUILD)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DZORIX_FUZZ=ON \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz-smoke: fuzz
	@scripts/fuzz-smoke.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Each fuzz target for FUZZ_SECONDS on one core, from and into fuzz/corpus/<target>.
fuzz-long: fuzz
	@scripts/fuzz-long.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(SANITIZE_BUILD)
