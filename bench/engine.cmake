# Engine figures; run through tests/wine/engine_smoke.sh --bench (needs a browser).
if(WIN32)
  add_executable(engine_bench engine_bench_win.cpp)
  target_link_libraries(engine_bench PRIVATE user32 gdi32)
endif()
