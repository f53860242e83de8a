# Text command speed over a page-sized text.
add_executable(text_bench ${CMAKE_CURRENT_SOURCE_DIR}/text_bench.cpp)
target_link_libraries(text_bench PRIVATE paginet_runtime_core)
