paginet_test(runtime_spine_test
  heap_value_test.cpp error_text_test.cpp form_description_test.cpp
  LIBS paginet_runtime_core)
