# Windows benchmarks, run under Wine by scripts/bench-startup.sh.
add_executable(minimal_window WIN32 ${CMAKE_CURRENT_LIST_DIR}/minimal_window.cpp)
add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
add_executable(refill_bench ${CMAKE_CURRENT_LIST_DIR}/refill_bench.cpp)
target_link_libraries(refill_bench PRIVATE veld_app)
target_sources(refill_bench PRIVATE ${CMAKE_SOURCE_DIR}/src/app/Veldana.rc)
target_include_directories(refill_bench PRIVATE ${CMAKE_SOURCE_DIR}/assets ${CMAKE_SOURCE_DIR}/src/app ${CMAKE_BINARY_DIR}/generated)
