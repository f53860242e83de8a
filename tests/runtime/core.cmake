paginet_test(runtime_core_test
  heap_value_test.cpp error_text_test.cpp form_description_test.cpp events_test.cpp
  property_values_test.cpp font_values_test.cpp text_length_cache_test.cpp mouse_pointer_test.cpp
  byte_io_test.cpp component_ops_test.cpp
  LIBS paginet_runtime_core)

if(WIN32)
  # Driven by tests/wine/runtime_*.sh; a GUI program on the whole runtime.
  add_executable(runtime_probe WIN32 runtime_probe_win.cpp)
  target_link_libraries(runtime_probe PRIVATE paginet_runtime_main)
endif()
