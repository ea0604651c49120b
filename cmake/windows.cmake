# The Windows program, its modules and the tests that run under Wine.
enable_language(RC)

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

file(GLOB VELD_WIN_SOURCES CONFIGURE_DEPENDS
  src/ui/*.cpp src/settings/*.cpp src/catalogue/*.cpp src/desktop/*.cpp
  src/preview/*.cpp src/commands/*.cpp src/app/*.cpp)
list(FILTER VELD_WIN_SOURCES EXCLUDE REGEX "/app/main\\.cpp$")

add_library(veld_win STATIC ${VELD_WIN_SOURCES})
target_link_libraries(veld_win PUBLIC veld_core
  user32 gdi32 comctl32 comdlg32 shell32 advapi32 msimg32 vfw32)
target_compile_options(veld_win PRIVATE -Wall -Wextra -Wno-missing-field-initializers)

configure_file(src/app/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
target_include_directories(veld_win PUBLIC ${CMAKE_BINARY_DIR}/generated)

add_executable(Veldana WIN32 src/app/main.cpp src/app/Veldana.rc)
target_link_libraries(Veldana PRIVATE veld_win)
set_source_files_properties(src/app/Veldana.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/app/Veldana.manifest")
target_include_directories(Veldana PRIVATE ${CMAKE_SOURCE_DIR}/assets ${CMAKE_SOURCE_DIR}/src/app ${CMAKE_BINARY_DIR}/generated)

add_subdirectory(tests/win)
add_subdirectory(tests/e2e)
include(bench/windows.cmake)
