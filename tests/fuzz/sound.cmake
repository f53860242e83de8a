paginet_fuzz(riff_fuzz ${CMAKE_CURRENT_LIST_DIR}/riff_fuzz.cpp LIBS paginet_sound_core)
