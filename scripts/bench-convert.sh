#!/usr/bin/env bash
# Times the program's JPEG -> BMP conversion on photo-like wallpapers, all in the same
# run: first the portable decoder natively against djpeg, ImageMagick and
# GraphicsMagick (with its peak memory against the size of the decoded image), then the
# Windows build's own conversion under Wine, writing into a program folder on disk,
# against djpeg built for Windows from the same libjpeg-turbo source. Prints medians and
# ratios; the targets are printed beside them, not enforced.
# Usage: scripts/bench-convert.sh [repetitions]   (default 21)
set -euo pipefail

reps=${1:-21}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/bench"
work="$build/convert-data"
imagemagick=/usr/bin/convert   # a bare `convert` may be something else on PATH

for tool in djpeg gm "$imagemagick"; do
  command -v "$tool" >/dev/null || { echo "bench: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

cmake -S "$root" -B "$build" -DVELD_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release -DVELD_BENCH=ON >/dev/null
if ! cmake --build "$build" --target veld_convert -j2 >"$build/build.log" 2>&1; then
  tail -n 30 "$build/build.log" >&2
  echo "bench: veld_convert did not build (the top-level CMakeLists.txt adds bench/ when VELD_BENCH is on)" >&2
  exit 1
fi
ours=$(find "$build" -name veld_convert -type f -perm -u+x | head -n 1)

mkdir -p "$work"
# Outputs go to memory where there is a tmpfs: rewriting a file on disk while the
# previous copy is still being flushed makes some runs wait on the disk, not the tool.
outs="$work"
if [[ -d /dev/shm && -w /dev/shm ]]; then
  outs=$(mktemp -d /dev/shm/veld-bench.XXXXXX)
  trap 'rm -rf "$outs"' EXIT
fi
sizes=(1280x1024 1920x1200 3840x2160)
for size in "${sizes[@]}"; do
  # Clouds with grain at a typical wallpaper quality: busy enough that decoding works
  # as hard as it does on a photo.
  [[ -f $work/$size.jpg ]] || "$imagemagick" -seed 11 -size "$size" plasma:fractal -blur 0x1 \
    -attenuate 0.4 +noise Gaussian -sampling-factor 2x2 -quality 90 "$work/$size.jpg"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A runs
names=(ours djpeg imagemagick graphicsmagick decode)
run_one() {
  local name=$1 in=$2 out=$3
  case $name in
    ours) "$ours" "$in" "$out" ;;
    djpeg) djpeg -bmp -outfile "$out" "$in" ;;
    imagemagick) "$imagemagick" "$in" "BMP3:$out" ;;
    graphicsmagick) gm convert "$in" "BMP3:$out" ;;
    decode) "$ours" --decode-only "$in" ;;
  esac
}

printf '%-10s %9s %9s %9s %9s %9s | %11s %11s %11s %13s %13s\n' image "ours ms" "djpeg ms" "IM ms" "GM ms" \
  "decode ms" "ours/djpeg" "IM/ours" "GM/ours" "decode/djpeg" "memory/image"
printf '%-10s %9s %9s %9s %9s %9s | %11s %11s %11s %13s %13s\n' "" "" "" "" "" "" "(<= 0.70)" "(>= 2.5)" "" \
  "(<= 0.60)" "(<= 1.3)"
for size in "${sizes[@]}"; do
  in="$work/$size.jpg"
  for name in "${names[@]}"; do
    runs[$name]=""
    run_one "$name" "$in" "$outs/$name.bmp"  # warm the page cache and the loader
  done
  if ! cmp -s <(tail -c +55 "$outs/ours.bmp") <(tail -c +55 "$outs/djpeg.bmp"); then
    echo "bench: our pixels differ from djpeg's for $size" >&2
    exit 1
  fi
  # Round-robin, so a slow moment of the machine hits every tool alike. Microseconds come
  # from bash itself: forking `date` around every run would time the fork too.
  for ((r = 0; r < reps; r++)); do
    for name in "${names[@]}"; do
      start=${EPOCHREALTIME/[.,]/}
      run_one "$name" "$in" "$outs/$name.bmp"
      end=${EPOCHREALTIME/[.,]/}
      runs[$name]+="$((10#$end - 10#$start)) "
    done
  done
  declare -A ms
  for name in "${names[@]}"; do
    ms[$name]=$(tr ' ' '\n' <<<"${runs[$name]}" | grep . | median | awk '{ printf "%.1f", $1 / 1000 }')
  done
  read -r start_kb peak_kb image_bytes < <("$ours" --stats "$in" "$outs/ours.bmp" |
    sed 's/[a-z_]*=//g')
  ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
  printf '%-10s %9s %9s %9s %9s %9s | %11s %11s %11s %13s %13s\n' "$size" "${ms[ours]}" "${ms[djpeg]}" \
    "${ms[imagemagick]}" "${ms[graphicsmagick]}" "${ms[decode]}" "$(ratio "${ms[ours]}" "${ms[djpeg]}")" \
    "$(ratio "${ms[imagemagick]}" "${ms[ours]}")" "$(ratio "${ms[graphicsmagick]}" "${ms[ours]}")" \
    "$(ratio "${ms[decode]}" "${ms[djpeg]}")" "$(ratio "$(((peak_kb - start_kb) * 1024))" "$image_bytes")"
  echo "           peak ${peak_kb} kB, ${start_kb} kB of it at start; image $((image_bytes / 1024)) kB," \
    "JPEG file $(($(stat -c %s "$in") / 1024)) kB"
done
echo "medians of $reps runs each, whole processes (start, read, decode, write)"

# The shipped path: the Windows program's conversion under Wine. Its program folder is
# on disk, as the program's is, and so is djpeg.exe's output.
win_bench="$root/build/win/wallpaper_convert_bench.exe"
djpeg_exe="$root/build/deps/libjpeg-turbo-mingw64/bin/djpeg.exe"
if [[ ! -f $win_bench || ! -f $djpeg_exe ]]; then
  echo "bench: the Windows benchmarks are missing (make bench builds them); skipping the conversion under Wine" >&2
  exit 0
fi
folder="$build/program-folder"
rm -rf "$folder"
mkdir -p "$folder"
for size in "${sizes[@]}"; do cp "$work/$size.jpg" "$folder/"; done
cp "$djpeg_exe" "$folder/djpeg.exe"
to_win() { echo "Z:${1//\//\\}"; }
echo
"$root/scripts/wine-rig.sh" wine "$win_bench" "$(to_win "$folder/djpeg.exe")" "$(to_win "$folder")" "$reps" \
  "${sizes[@]}"
