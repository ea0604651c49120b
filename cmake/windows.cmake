# The Windows program, its modules and the tests that run under Wine.
enable_language(RC)

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_compile_options(-Wno-missing-field-initializers)
add_link_options(-static -static-libgcc -static-libstdc++)

# Each folder links only the folders below it and the system libraries it calls.
veld_folder_library(win USES veld_core user32 gdi32 advapi32)
veld_folder_library(ui USES veld_win user32 gdi32 comctl32)
veld_folder_library(settings USES veld_win)
veld_folder_library(catalogue USES veld_win)
veld_folder_library(desktop USES veld_catalogue veld_preview veld_settings veld_win user32)
veld_folder_library(preview USES veld_win gdi32)

# TForm1 and its handlers; WinMain stays out so the tests can link the form.
veld_folder_library(app EXCLUDE "/app/main\\.cpp$"
  USES veld_preview veld_desktop veld_catalogue veld_settings veld_ui)

configure_file(src/app/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
configure_file(src/app/Veldana.manifest.in ${CMAKE_BINARY_DIR}/generated/Veldana.manifest @ONLY)
target_include_directories(veld_app PUBLIC ${CMAKE_BINARY_DIR}/generated)

# The folders above core parse the system's and the standard headers once, not once a file.
target_precompile_headers(veld_win PRIVATE <windows.h> <string> <string_view> <vector> <optional> <algorithm>
                          <functional>)
foreach(folder IN ITEMS ui settings catalogue desktop preview app)
  target_precompile_headers(veld_${folder} REUSE_FROM veld_win)
endforeach()

add_executable(Veldana WIN32 src/app/main.cpp src/app/Veldana.rc)
target_link_libraries(Veldana PRIVATE veld_app)
set_source_files_properties(src/app/Veldana.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/generated/Veldana.manifest")
target_include_directories(Veldana PRIVATE ${CMAKE_SOURCE_DIR}/assets ${CMAKE_SOURCE_DIR}/src/app ${CMAKE_BINARY_DIR}/generated)

# VeldanaStart: the windowless program run at sign-in, built from the feature libraries
# without the control layer or the window; main stays out so the tests can link it.
veld_folder_library(start EXCLUDE "/start/main\\.cpp$" USES veld_desktop veld_catalogue veld_settings)
configure_file(src/start/VeldanaStart.manifest.in ${CMAKE_BINARY_DIR}/generated/VeldanaStart.manifest @ONLY)
target_precompile_headers(veld_start REUSE_FROM veld_win)
add_executable(VeldanaStart WIN32 src/start/main.cpp src/start/VeldanaStart.rc)
target_link_libraries(VeldanaStart PRIVATE veld_start)
set_source_files_properties(src/start/VeldanaStart.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/generated/VeldanaStart.manifest")
target_include_directories(VeldanaStart PRIVATE ${CMAKE_SOURCE_DIR}/assets ${CMAKE_BINARY_DIR}/generated)

add_subdirectory(tests/win)
add_subdirectory(tests/e2e)
include(bench/windows.cmake)
