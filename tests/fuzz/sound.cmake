paginet_fuzz(riff_fuzz ${CMAKE_CURRENT_LIST_DIR}/riff_fuzz.cpp LIBS paginet_sound_core)
paginet_fuzz(midi_events_fuzz ${CMAKE_CURRENT_LIST_DIR}/midi_events_fuzz.cpp LIBS paginet_sound_core)
