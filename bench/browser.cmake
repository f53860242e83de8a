# Page capture cost against the recording engine double; runs under Wine
# (bench/run_all.sh). The double is copied beside the benchmark.
if(WIN32)
  add_executable(browser_bench ${CMAKE_CURRENT_SOURCE_DIR}/browser_bench_win.cpp)
  target_link_libraries(browser_bench PRIVATE paginet_browser_host paginet_runtime psapi)
  add_custom_command(TARGET browser_bench POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:engine_double> $<TARGET_FILE_DIR:browser_bench>)
  add_dependencies(browser_bench engine_double)
endif()
