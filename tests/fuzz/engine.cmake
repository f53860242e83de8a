paginet_fuzz(websocket_frame_fuzz ${CMAKE_CURRENT_LIST_DIR}/websocket_frame_fuzz.cpp
  LIBS paginet_engine_core)
paginet_fuzz(websocket_handshake_fuzz ${CMAKE_CURRENT_LIST_DIR}/websocket_handshake_fuzz.cpp LIBS paginet_engine_core)
paginet_fuzz(devtools_session_fuzz ${CMAKE_CURRENT_LIST_DIR}/devtools_session_fuzz.cpp
  LIBS paginet_engine_core)
paginet_fuzz(png_fuzz ${CMAKE_CURRENT_LIST_DIR}/png_fuzz.cpp LIBS paginet_engine_core)
