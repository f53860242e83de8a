paginet_fuzz(form_description_fuzz form_description_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/runtime/form_description.cpp)
