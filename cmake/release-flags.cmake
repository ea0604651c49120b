# Flags shared by the Windows programs and the libjpeg-turbo they link: full debug
# information (scripts/make-dist.sh ships the programs stripped and keeps it in separate
# files), and no build-folder paths in what is compiled, so two clones of one commit
# built in different folders give the same bytes (scripts/check-reproducible.sh).
set(VELD_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH "cache of cross-built dependencies")

# Source paths in the debug information start with /veldana/ instead of the clone's
# folder (gdb: set substitute-path /veldana CLONE). The last matching map wins, so a
# dependency cache inside the tree keeps its place there.
set(VELD_RELEASE_C_FLAGS
  "-g -ffile-prefix-map=${VELD_DEPS_DIR}=/veldana-deps -ffile-prefix-map=${CMAKE_SOURCE_DIR}=/veldana")
string(APPEND CMAKE_C_FLAGS " ${VELD_RELEASE_C_FLAGS}")
string(APPEND CMAKE_CXX_FLAGS " ${VELD_RELEASE_C_FLAGS}")
