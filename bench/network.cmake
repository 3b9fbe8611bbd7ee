# HTTP through the broker and the engine against plain libcurl in the same
# process, both fetching from the local test server in the same run.
add_executable(bench_network ${CMAKE_CURRENT_LIST_DIR}/bench_network.cpp)
pkg_check_modules(BENCH_CURL REQUIRED IMPORTED_TARGET libcurl)
target_link_libraries(bench_network PRIVATE zentrel-core testhttpserver PkgConfig::BENCH_CURL)
