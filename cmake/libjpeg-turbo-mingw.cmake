# libjpeg-turbo for the Windows build: Debian's own source package, cross-built once as
# a static library with SIMD and cached under VELD_DEPS_DIR (cmake/release-flags.cmake),
# so a fresh build folder does not build it again. A cache built another way (other
# flags) is built again. Its djpeg.exe, and djpeg's sources with the headers configured
# in its build folder, are the conversion benchmark's reference (bench/windows.cmake).
set(_jpeg_prefix "${VELD_DEPS_DIR}/libjpeg-turbo-mingw64")
set(_jpeg_lib "${_jpeg_prefix}/lib/libjpeg.a")
set(_jpeg_build "${VELD_DEPS_DIR}/libjpeg-turbo-mingw64-build")
set(_jpeg_recipe_file "${_jpeg_prefix}/veld-recipe.txt")
# nasm records the source path as given in each object; the wrapper gives it a path
# relative to the build folder.
set(_jpeg_recipe
  -DCMAKE_BUILD_TYPE=Release
  "-DCMAKE_C_FLAGS=${VELD_RELEASE_C_FLAGS}"
  -DCMAKE_ASM_NASM_COMPILER=${CMAKE_SOURCE_DIR}/cmake/nasm-relative.sh
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=1)
set(_jpeg_built_recipe "")
if(EXISTS "${_jpeg_recipe_file}")
  file(READ "${_jpeg_recipe_file}" _jpeg_built_recipe)
endif()

if(NOT EXISTS "${_jpeg_lib}" OR NOT EXISTS "${_jpeg_prefix}/bin/djpeg.exe" OR NOT EXISTS "${_jpeg_build}/jconfigint.h"
   OR NOT _jpeg_built_recipe STREQUAL "${_jpeg_recipe}")
  message(STATUS "Fetching and cross-building libjpeg-turbo into ${_jpeg_prefix}")
  execute_process(
    COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/fetch-jpeg-source.sh" "${VELD_DEPS_DIR}"
    RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "apt-get source libjpeg-turbo failed")
  endif()
  file(REMOVE_RECURSE "${_jpeg_build}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S "${VELD_DEPS_DIR}/libjpeg-turbo" -B "${_jpeg_build}"
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
            -DCMAKE_INSTALL_PREFIX=${_jpeg_prefix} ${_jpeg_recipe}
    RESULT_VARIABLE _rc)
  if(_rc EQUAL 0)
    execute_process(COMMAND ${CMAKE_COMMAND} --build "${_jpeg_build}" --target install --parallel
                    RESULT_VARIABLE _rc)
  endif()
  if(NOT _rc EQUAL 0 OR NOT EXISTS "${_jpeg_lib}" OR NOT EXISTS "${_jpeg_prefix}/bin/djpeg.exe")
    message(FATAL_ERROR "Cross-building libjpeg-turbo failed")
  endif()
  file(WRITE "${_jpeg_recipe_file}" "${_jpeg_recipe}")
endif()

add_library(jpeg STATIC IMPORTED GLOBAL)
set_target_properties(jpeg PROPERTIES
  IMPORTED_LOCATION "${_jpeg_lib}"
  INTERFACE_INCLUDE_DIRECTORIES "${_jpeg_prefix}/include")
