paginet_fuzz(component_props_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/component_props_fuzz.cpp
  LIBS paginet_components_core)
