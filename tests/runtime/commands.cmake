# Core and DLL command tests. They build the command sources with a stand-in
# for the runtime services, so they do not depend on the rest of the runtime.
set(commands_fake ${CMAKE_SOURCE_DIR}/tests/runtime/commands_fake_runtime.cpp)
paginet_test(commands_neutral_test
  ${CMAKE_CURRENT_SOURCE_DIR}/text_commands_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/conversion_commands_test.cpp
  ${PAGINET_COMMANDS_NEUTRAL} ${commands_fake})
