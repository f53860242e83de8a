# Engine figures; run through tests/wine/engine_smoke.sh --bench (needs a browser).
if(WIN32)
  add_executable(engine_bench engine_bench_win.cpp)
  target_link_libraries(engine_bench PRIVATE user32 gdi32)
endif()
# Where a capture page's time goes; run through tests/wine/engine_smoke.sh
# --page-cost (needs a browser). Builds the engine's own pieces in.
if(WIN32)
  add_executable(page_cost page_cost_win.cpp ${CMAKE_SOURCE_DIR}/browser/element_script.cpp
    ${CMAKE_SOURCE_DIR}/engine/dib_win.cpp ${CMAKE_SOURCE_DIR}/engine/websocket_win.cpp
    ${CMAKE_SOURCE_DIR}/app/constants.cpp)
  target_link_libraries(page_cost PRIVATE paginet_engine_core ws2_32 windowscodecs ole32 shlwapi
    gdi32 user32 uuid)
endif()
