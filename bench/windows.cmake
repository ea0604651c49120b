# Windows benchmarks, run under Wine by scripts/bench-startup.sh and scripts/bench-signin.sh.
add_executable(minimal_window WIN32 ${CMAKE_CURRENT_LIST_DIR}/minimal_window.cpp)
add_executable(minimal_window_cc WIN32 ${CMAKE_CURRENT_LIST_DIR}/minimal_window.cpp)
target_compile_definitions(minimal_window_cc PRIVATE VELD_COMMON_CONTROLS)
target_link_libraries(minimal_window_cc PRIVATE comctl32)
# The same window with Veldana's background and outline.
add_executable(minimal_window_shaped WIN32 ${CMAKE_CURRENT_LIST_DIR}/minimal_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/minimal_shaped_window.rc)
target_compile_definitions(minimal_window_shaped PRIVATE VELD_COMMON_CONTROLS VELD_SHAPED)
target_link_libraries(minimal_window_shaped PRIVATE veld_core comctl32)
target_include_directories(minimal_window_shaped PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/assets
  ${CMAKE_SOURCE_DIR}/src/app)
add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
# The program as shipped plus a recorder of its start-up steps.
add_executable(Veldana_steps WIN32 src/app/main.cpp src/app/Veldana.rc ${CMAKE_CURRENT_LIST_DIR}/startup_steps.cpp)
target_link_libraries(Veldana_steps PRIVATE veld_app)
target_include_directories(Veldana_steps PRIVATE ${CMAKE_SOURCE_DIR}/assets ${CMAKE_SOURCE_DIR}/src/app
  ${CMAKE_BINARY_DIR}/generated)
add_executable(refill_bench ${CMAKE_CURRENT_LIST_DIR}/refill_bench.cpp)
target_link_libraries(refill_bench PRIVATE veld_app)
target_sources(refill_bench PRIVATE ${CMAKE_SOURCE_DIR}/src/app/Veldana.rc)
target_include_directories(refill_bench PRIVATE ${CMAKE_SOURCE_DIR}/assets ${CMAKE_SOURCE_DIR}/src/app ${CMAKE_BINARY_DIR}/generated)
add_executable(minimal_windowless WIN32 ${CMAKE_CURRENT_LIST_DIR}/minimal_windowless.cpp)
add_executable(minimal_wallpaper WIN32 ${CMAKE_CURRENT_LIST_DIR}/minimal_wallpaper.cpp)
add_executable(signin_bench ${CMAKE_CURRENT_LIST_DIR}/signin_bench.cpp)
target_link_libraries(signin_bench PRIVATE veld_desktop)
# The wallpaper conversion as shipped, run under Wine by scripts/bench-convert.sh.
add_executable(wallpaper_convert_bench ${CMAKE_CURRENT_LIST_DIR}/wallpaper_convert_bench.cpp)
target_link_libraries(wallpaper_convert_bench PRIVATE veld_desktop)
# djpeg's program code from the same libjpeg-turbo source, built like its djpeg.exe
# (same switches, -O3), with main and exit renamed so the benchmark can call it.
set(_djpeg_source "${VELD_DEPS_DIR}/libjpeg-turbo")
add_library(djpeg_in_process STATIC ${CMAKE_CURRENT_LIST_DIR}/djpeg_in_process.c
  ${_djpeg_source}/djpeg.c ${_djpeg_source}/cdjpeg.c ${_djpeg_source}/rdcolmap.c ${_djpeg_source}/rdswitch.c
  ${_djpeg_source}/wrgif.c ${_djpeg_source}/wrppm.c ${_djpeg_source}/wrbmp.c ${_djpeg_source}/wrtarga.c)
target_compile_definitions(djpeg_in_process PRIVATE BMP_SUPPORTED GIF_SUPPORTED PPM_SUPPORTED TARGA_SUPPORTED USE_SETMODE
  main=djpeg_main exit=djpeg_exit)
target_compile_options(djpeg_in_process PRIVATE -O3 -w)
target_include_directories(djpeg_in_process PRIVATE ${_jpeg_build} ${_djpeg_source})
target_link_libraries(djpeg_in_process PRIVATE jpeg)
target_link_libraries(wallpaper_convert_bench PRIVATE djpeg_in_process)
# A picture button lighting up, against a plain BitBlt; run by scripts/bench-hover.sh.
add_executable(hover_bench ${CMAKE_CURRENT_LIST_DIR}/hover_bench.cpp)
target_link_libraries(hover_bench PRIVATE veld_app)
target_sources(hover_bench PRIVATE ${CMAKE_SOURCE_DIR}/src/app/Veldana.rc)
target_include_directories(hover_bench PRIVATE ${CMAKE_SOURCE_DIR}/assets ${CMAKE_SOURCE_DIR}/src/app ${CMAKE_BINARY_DIR}/generated)

# make bench builds these beside the programs; make run and make dist never wait for them.
add_custom_target(benchmarks)
add_dependencies(benchmarks minimal_window minimal_window_cc minimal_window_shaped startup_bench Veldana_steps
  refill_bench minimal_windowless minimal_wallpaper signin_bench wallpaper_convert_bench hover_bench)
