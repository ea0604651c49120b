# Veldana: `make run` starts the program, `make test` runs every test, `make dist`
# lays out dist/Veldana/, its zip and the per-user setup program. Each first installs
# what is missing.
JOBS := $(shell nproc)
WIN_TOOLCHAIN := cmake/mingw-w64-x86_64.cmake

.PHONY: all deps native win dist test run bench fuzz clean

all: dist

deps:
	@scripts/install-deps.sh

native: deps
	cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build/native -j$(JOBS)

win: deps
	cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=$(WIN_TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build/win -j$(JOBS)

dist: win
	@scripts/make-dist.sh

test: native dist
	@scripts/run-tests.sh

run: dist
	@scripts/run.sh

clean:
	rm -rf build/native build/win dist

# Benchmarks: ratios against references measured in the same run, printed only.
bench: dist
	@scripts/bench-convert.sh
	@scripts/bench-startup.sh
	@scripts/bench-refill.sh

# A long fuzzing run of JPEG decoding (an hour; FUZZ_SECONDS to change).
FUZZ_SECONDS ?= 3600
fuzz: deps
	@scripts/fuzz.sh $(FUZZ_SECONDS)
