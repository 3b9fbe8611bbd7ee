# The widget's dial: one redraw against a bare cairo redraw of the same two
# arcs, and the resident memory 10,000 redraws add, in the same run.
add_executable(bench_widget_gauge ${CMAKE_CURRENT_LIST_DIR}/bench_widget_gauge.cpp)
target_link_libraries(bench_widget_gauge PRIVATE zentrel-widget-ui benchmark::benchmark)
add_dependencies(bench_widget_gauge zentrel-widget-resources)
