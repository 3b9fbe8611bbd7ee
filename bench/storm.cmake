# The storm watch's work per stored bucket against the trend code's.
add_executable(bench_storm ${CMAKE_CURRENT_LIST_DIR}/bench_storm.cpp)
target_include_directories(bench_storm PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bench_storm PRIVATE ostra-sensor PkgConfig::SQLITE benchmark::benchmark)
