# Veldana: `make run` starts the program, `make test` runs every test, `make dist`
# lays out dist/Veldana/, its zip and the per-user setup program. Each first installs
# what is missing.
JOBS := $(shell nproc)
WIN_TOOLCHAIN := cmake/mingw-w64-x86_64.cmake

# Every timestamp the build writes (the programs' headers, the zip, the files in the
# setup program) is the last commit's time, so one commit always gives the same bytes.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

.PHONY: all deps native programs win dist dist-test-signed test run bench fuzz clean

all: dist

deps:
	@scripts/install-deps.sh

native: deps
	cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build/native -j$(JOBS)

# Each command builds what it runs: make run and make dist only the two programs,
# make test (through win) the in-process tests and the end-to-end probe beside them,
# make bench the benchmark programs.
programs: deps
	cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=$(WIN_TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build/win -j$(JOBS) --target Veldana VeldanaStart

win: programs
	cmake --build build/win -j$(JOBS) --target win_tests veldprobe

dist: programs
	@scripts/make-dist.sh

# The release signed as a real one is, through a token, with throw-away stand-ins: a
# certificate, a SoftHSM2 token and a timestamp responder on this machine.
dist-test-signed: programs
	@scripts/sign-test-release.sh

# The build's share of `make test`, for the table of where the time went. The native and
# the Windows builds run side by side: each waits at times (configuring, fetching, linking).
MAKE_STARTED := $(shell date +%s)
test: deps
	@$(MAKE) --no-print-directory -j2 native win dist
	@VELD_BUILD_SECONDS=$$(( $$(date +%s) - $(MAKE_STARTED) )) scripts/run-tests.sh

run: dist
	@scripts/run.sh

clean:
	rm -rf build/native build/win build/debug dist

# Benchmarks: ratios against references measured in the same run, printed only.
bench: dist
	cmake --build build/win -j$(JOBS) --target benchmarks
	@scripts/bench-convert.sh
	@scripts/bench-startup.sh
	@scripts/bench-refill.sh
	@scripts/bench-signin.sh
	@scripts/bench-hover.sh

# A long fuzzing run of JPEG decoding (an hour; FUZZ_SECONDS to change).
FUZZ_SECONDS ?= 3600
fuzz: deps
	@scripts/fuzz.sh $(FUZZ_SECONDS)
