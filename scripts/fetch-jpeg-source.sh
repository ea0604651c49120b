#!/usr/bin/env bash
# Fetches Debian's libjpeg-turbo source package into $1 without touching the machine's
# apt configuration: a private deb-src list is derived from the machine's own apt
# sources (same addresses, suites, components and keyrings) and used with private
# list and cache folders.
set -euo pipefail

dest=$(realpath -m "$1")
work="$dest/src"

# A source package fetched and unpacked before is used again (the cross-build runs again
# when its flags change; the source need not be fetched for that).
if [[ -f $work/.complete ]]; then
  src=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  if [[ -n $src ]]; then
    ln -sfn "src/$(basename "$src")" "$dest/libjpeg-turbo"
    echo "$src"
    exit 0
  fi
fi

apt_dir="$dest/apt"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"

: >"$apt_dir/sources.list"
if [[ -f /etc/apt/sources.list ]]; then
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >>"$apt_dir/sources.list"
fi
for f in /etc/apt/sources.list.d/*.list; do
  [[ -e $f ]] || continue
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
done
for f in /etc/apt/sources.list.d/*.sources; do
  [[ -e $f ]] || continue
  # deb822 stanzas: keep every field, ask for sources instead of binaries.
  sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
done

apt_opts=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache="
  -o "APT::Sandbox::User=root"
)

# A source that offers no deb-src index (a third-party repository) only warns here.
apt-get "${apt_opts[@]}" update -qq || true

rm -rf "$work"
mkdir -p "$work"
(cd "$work" && apt-get "${apt_opts[@]}" source -qq libjpeg-turbo)
src=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
[[ -n $src ]] || { echo "libjpeg-turbo source was not unpacked" >&2; exit 1; }
touch "$work/.complete"
# Relative, so the cache still works when its folder is copied or moved.
ln -sfn "src/$(basename "$src")" "$dest/libjpeg-turbo"
echo "$src"
