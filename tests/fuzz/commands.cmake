# The neutral core commands with the stand-in runtime services of their tests.
set(commands_fake ${CMAKE_SOURCE_DIR}/tests/runtime/commands_fake_runtime.cpp)
paginet_fuzz(text_commands_fuzz ${CMAKE_CURRENT_LIST_DIR}/text_commands_fuzz.cpp
  ${PAGINET_COMMANDS_NEUTRAL} ${commands_fake})
paginet_fuzz(conversion_commands_fuzz ${CMAKE_CURRENT_LIST_DIR}/conversion_commands_fuzz.cpp
  ${PAGINET_COMMANDS_NEUTRAL} ${commands_fake})
