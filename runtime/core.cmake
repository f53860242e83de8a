# The runtime core: values and heap, form description, window table, events,
# property values and the error report text (neutral), plus start-up, the
# message loop, loading and the service table (Windows).
target_sources(paginet_runtime_core PRIVATE
  error_report.cpp error_text.cpp events.cpp font_values.cpp form_description.cpp heap.cpp
  mouse_pointer.cpp property_values.cpp
  runtime_state.cpp value.cpp)
if(WIN32)
  target_sources(paginet_runtime_core PRIVATE gbk_win.cpp heap_win.cpp)
  target_sources(paginet_runtime PRIVATE
    cursors_win.cpp font_property_win.cpp loader_win.cpp menus_win.cpp message_loop_win.cpp notify_win.cpp properties_win.cpp
    service_table_win.cpp startup_win.cpp)
  # WinMain, for programs: link paginet_runtime_main (it brings
  # paginet_runtime). Test executables with their own main link paginet_runtime.
  add_library(paginet_runtime_main OBJECT winmain_win.cpp)
  target_link_libraries(paginet_runtime_main PUBLIC paginet_runtime)
  target_link_libraries(paginet_runtime PUBLIC ole32 user32 gdi32 kernel32)
else()
  target_sources(paginet_runtime_core PRIVATE heap_native.cpp)
endif()
