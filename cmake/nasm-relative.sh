#!/usr/bin/env bash
# nasm for the libjpeg-turbo build. nasm writes the source file's path, as it is given,
# into each object's symbol table, which the programs' debug files keep, and it has no
# prefix map like the C compiler's: hand it the path relative to the folder it runs in,
# which is the same in every clone.
set -euo pipefail
if (($#)) && [[ ${!#} == /* && -f ${!#} ]]; then
  exec nasm "${@:1:$#-1}" "$(realpath --relative-to=. "${!#}")"
fi
exec nasm "$@"
