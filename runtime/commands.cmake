# Core commands and DLL commands. The neutral text and conversion commands go
# into paginet_runtime_core; the Win32 ones, the DLL command table and its
# trampoline into paginet_runtime.
set(PAGINET_COMMANDS_NEUTRAL
  ${CMAKE_CURRENT_SOURCE_DIR}/arguments.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/text_commands.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/conversion_commands.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/text_length_cache.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sound_calls.cpp
  CACHE INTERNAL "neutral core command sources")
set(PAGINET_COMMANDS_WIN
  ${CMAKE_CURRENT_SOURCE_DIR}/ui_commands_win.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/file_commands_win.cpp
  CACHE INTERNAL "Win32 core command sources")
set(PAGINET_DLL_COMMANDS
  ${CMAKE_CURRENT_SOURCE_DIR}/dll_commands_win.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dll_trampoline.S
  CACHE INTERNAL "DLL command sources")

target_sources(paginet_runtime_core PRIVATE ${PAGINET_COMMANDS_NEUTRAL})
if(WIN32)
  target_sources(paginet_runtime PRIVATE ${PAGINET_COMMANDS_WIN} ${PAGINET_DLL_COMMANDS})
endif()
