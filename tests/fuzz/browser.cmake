paginet_fuzz(bmp_image_fuzz ${CMAKE_CURRENT_LIST_DIR}/bmp_image_fuzz.cpp LIBS paginet_browser_core)
paginet_fuzz(utf8_fuzz ${CMAKE_CURRENT_LIST_DIR}/utf8_fuzz.cpp LIBS paginet_browser_core)
