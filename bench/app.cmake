# A UI program against a bare toolkit window: time to the first frame, CPU
# time while running and peak memory, both started headless in the same run.
add_executable(bench_bare_window ${CMAKE_CURRENT_LIST_DIR}/bare_window.cpp)
target_link_libraries(bench_bare_window PRIVATE PkgConfig::EFL)

# The floor: the same bare window, made to load every library the main program
# loads without calling any of them. The distance from the bare window to it
# is what the product's dependencies alone cost before its own code runs.
add_executable(bench_linked_window ${CMAKE_CURRENT_LIST_DIR}/bare_window.cpp)
target_link_options(bench_linked_window PRIVATE LINKER:--no-as-needed)
target_link_libraries(bench_linked_window PRIVATE PkgConfig::EFL zentrel-core brisa-efl ostra-ui
                                                  ostra)

# The program measured by default; bench_app --program PATH measures another.
set(BENCH_APP_PROGRAM zentrel)
add_executable(bench_app ${CMAKE_CURRENT_LIST_DIR}/bench_app.cpp)
target_link_libraries(bench_app PRIVATE ostra benchmark::benchmark)
target_compile_definitions(bench_app PRIVATE
  BENCH_DEFAULT_PROGRAM="$<TARGET_FILE:${BENCH_APP_PROGRAM}>"
  BENCH_BASELINE="$<TARGET_FILE:bench_bare_window>"
  BENCH_FLOOR="$<TARGET_FILE:bench_linked_window>"
  BENCH_OSTRACTL="$<TARGET_FILE:ostractl>")
add_dependencies(bench_app bench_bare_window bench_linked_window ${BENCH_APP_PROGRAM} ostractl)
