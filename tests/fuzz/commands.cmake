# The neutral core commands with the stand-in runtime services of their tests.
include(${CMAKE_SOURCE_DIR}/tests/runtime/commands.cmake)
paginet_fuzz(text_commands_fuzz ${CMAKE_CURRENT_LIST_DIR}/text_commands_fuzz.cpp LIBS commands_on_fake)
paginet_fuzz(conversion_commands_fuzz ${CMAKE_CURRENT_LIST_DIR}/conversion_commands_fuzz.cpp
  LIBS commands_on_fake)
