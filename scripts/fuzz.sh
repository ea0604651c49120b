#!/usr/bin/env bash
# Fuzzes JPEG decoding and BMP packing with libFuzzer for a while (default 30 s).
# Usage: scripts/fuzz.sh [seconds]
# Builds into build/fuzz/: libjpeg from Debian's source package compiled with coverage
# and AddressSanitizer (so the fuzzer is guided through the decoder, not only through our
# code), the fuzz target, and a seed corpus. New inputs found are kept in
# build/fuzz/corpus for the next run; a failing input lands in build/fuzz/crashes/.
set -euo pipefail

seconds=${1:-30}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$root/build/fuzz"
deps="$root/build/deps"
jpeg_prefix="$out/libjpeg"
export CC=clang CXX=clang++

mkdir -p "$out"
if [[ ! -f $jpeg_prefix/lib/libjpeg.a ]]; then
  if [[ ! -d $deps/libjpeg-turbo ]]; then
    bash "$root/scripts/fetch-jpeg-source.sh" "$deps" >/dev/null || true
  fi
  if [[ -d $deps/libjpeg-turbo ]]; then
    echo "fuzz: building an instrumented libjpeg-turbo (once)"
    simd=0
    command -v nasm >/dev/null && simd=1
    # libjpeg's own undefined-behaviour findings are not ours to fix; address errors are.
    if ! cmake -S "$deps/libjpeg-turbo" -B "$out/libjpeg-build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer" \
      -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=$simd \
      -DCMAKE_ASM_NASM_COMPILER=nasm >"$out/libjpeg-build.log" 2>&1 ||
      ! cmake --build "$out/libjpeg-build" --target jpeg-static -j2 >>"$out/libjpeg-build.log" 2>&1; then
      echo "fuzz: instrumented libjpeg failed, see $out/libjpeg-build.log" >&2
      exit 1
    fi
    # The library and its headers only: libjpeg's own programs are not fuzzed.
    mkdir -p "$jpeg_prefix/include" "$jpeg_prefix/lib"
    cp "$deps"/libjpeg-turbo/{jpeglib.h,jmorecfg.h,jerror.h} "$out/libjpeg-build/jconfig.h" "$jpeg_prefix/include/"
    cp "$out/libjpeg-build/libjpeg.a" "$jpeg_prefix/lib/libjpeg.a.new"
    mv "$jpeg_prefix/lib/libjpeg.a.new" "$jpeg_prefix/lib/libjpeg.a"
  else
    echo "fuzz: no libjpeg-turbo source; fuzzing against the system library without its coverage" >&2
  fi
fi

prefix_arg=()
[[ -f $jpeg_prefix/lib/libjpeg.a ]] && prefix_arg=(-DVELD_FUZZ_JPEG_PREFIX="$jpeg_prefix")
cmake -S "$root/fuzz" -B "$out/build" "${prefix_arg[@]}" >"$out/configure.log" ||
  { cat "$out/configure.log" >&2; exit 1; }
cmake --build "$out/build" -j2 >"$out/build.log" 2>&1 || { cat "$out/build.log" >&2; exit 1; }

rm -rf "$out/seeds"
mkdir -p "$out/seeds" "$out/corpus" "$out/crashes"
"$out/build/make_seeds" "$out/seeds"

echo "fuzz: running for ${seconds}s"
"$out/build/decode_fuzzer" "$out/corpus" "$out/seeds" \
  -max_total_time="$seconds" -rss_limit_mb=2560 -timeout=10 \
  -dict="$root/fuzz/jpeg.dict" -artifact_prefix="$out/crashes/" -print_final_stats=1 \
  2>"$out/fuzz.log" || { tail -n 60 "$out/fuzz.log" >&2; echo "fuzz: FAILED, input kept in $out/crashes/" >&2; exit 1; }
grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added)' "$out/fuzz.log" || true
echo "fuzz: no failure in ${seconds}s"
