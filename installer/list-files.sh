#!/usr/bin/env bash
# Writes the NSIS include that names every file and folder of the program folder, so the
# installer copies exactly these and the uninstaller removes exactly these.
# Usage: list-files.sh PROGRAM_FOLDER OUT.nsh   (Veldana.nsi runs it through !system)
#
# Defines:
#   VELD_INSTALL_FILES          SetOutPath/File for every folder and file
#   VELD_REMOVE_FILES           Delete for every file
#   VELD_EACH_FILE              inserts a macro with each file's name and size
#   VELD_REMOVE_FOLDERS         RMDir (never /r) for every folder, deepest first
#   VELD_EACH_WALLPAPER_FOLDER  pushes each wallpaper folder (WxH) and calls a function
set -euo pipefail

src=$(cd "$1" && pwd)
out=$2
for exe in Veldana.exe VeldanaStart.exe; do
  [[ -f $src/$exe ]] || { echo "list-files: no $exe in $src" >&2; exit 1; }
done

# What the program writes beside itself is its state, never part of the package, even
# when the folder was started from (make run) before the installer was built.
is_state() { [[ $1 == veld.ini || $1 == tmp_wallpaper.bmp || $1 == veldstart.log ]]; }

mapfile -t folders < <(cd "$src" && find . -mindepth 1 -type d -printf '%P\n' | LC_ALL=C sort)
mapfile -t files < <(cd "$src" && find . -type f -printf '%P\n' | LC_ALL=C sort)

for name in "${folders[@]}" "${files[@]}"; do
  # These would need escaping in an NSIS string; no shipped file has them.
  if [[ $name == *[\"\$\`]* || $name == *$'\n'* ]]; then
    echo "list-files: cannot package a name with \", \$, \` or a line break: $name" >&2
    exit 1
  fi
done

win() { local p=$1; echo "${p//\//\\}"; }

{
  echo "; Made by installer/list-files.sh from $src"
  echo "!macro VELD_INSTALL_FILES"
  echo "  SetOutPath \"\$INSTDIR\""
  for f in "${files[@]}"; do
    [[ $f == */* ]] && continue
    is_state "$f" && continue
    echo "  File \"$src/$f\""
  done
  for d in "${folders[@]}"; do
    echo "  SetOutPath \"\$INSTDIR\\$(win "$d")\""
    for f in "${files[@]}"; do
      if [[ $f == */* && ${f%/*} == "$d" ]]; then
        echo "  File \"$src/$f\""
      fi
    done
  done
  echo "  SetOutPath \"\$INSTDIR\""
  echo "!macroend"

  echo "!macro VELD_REMOVE_FILES"
  for f in "${files[@]}"; do
    [[ $f != */* ]] && is_state "$f" && continue
    echo "  Delete \"\$INSTDIR\\$(win "$f")\""
  done
  echo "!macroend"

  echo "!macro VELD_EACH_FILE MACRO"
  for f in "${files[@]}"; do
    [[ $f != */* ]] && is_state "$f" && continue
    echo "  !insertmacro \${MACRO} \"$(win "$f")\" $(stat -c %s "$src/$f")"
  done
  echo "!macroend"

  echo "!macro VELD_REMOVE_FOLDERS"
  for ((i = ${#folders[@]} - 1; i >= 0; i--)); do
    echo "  RMDir \"\$INSTDIR\\$(win "${folders[i]}")\""
  done
  echo "!macroend"

  echo "!macro VELD_EACH_WALLPAPER_FOLDER FUNCTION"
  for d in "${folders[@]}"; do
    if [[ $d =~ ^[0-9]+x[0-9]+$ ]]; then
      echo "  Push \"\$INSTDIR\\$d\""
      echo "  Call \${FUNCTION}"
    fi
  done
  echo "!macroend"
} >"$out"
