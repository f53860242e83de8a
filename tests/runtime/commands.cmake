# Core and DLL command tests. They build the command sources with a stand-in
# for the runtime services, so they do not depend on the rest of the runtime.
set(commands_fake ${CMAKE_SOURCE_DIR}/tests/runtime/commands_fake_runtime.cpp)
# The Win32 commands convert text through the runtime's one GBK conversion.
set(commands_gbk ${CMAKE_SOURCE_DIR}/runtime/gbk_win.cpp)
paginet_test(commands_neutral_test
  ${CMAKE_CURRENT_SOURCE_DIR}/text_commands_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/conversion_commands_test.cpp
  ${PAGINET_COMMANDS_NEUTRAL} ${commands_fake})

if(WIN32 AND TARGET paginet_sound)
  add_library(commands_test_dll SHARED commands_test_dll.cpp commands_test_dll.def)
  set_target_properties(commands_test_dll PROPERTIES PREFIX "")
  paginet_test(commands_win_test
    ${CMAKE_CURRENT_SOURCE_DIR}/commands_test_win.cpp
    ${PAGINET_COMMANDS_NEUTRAL} ${PAGINET_COMMANDS_WIN} ${PAGINET_DLL_COMMANDS} ${commands_fake} ${commands_gbk}
    LIBS paginet_sound)
  add_dependencies(commands_win_test commands_test_dll)

  # Child process for the cases that end the program (tests/wine/commands_dll.sh).
  add_executable(commands_probe commands_probe_win.cpp
    ${PAGINET_COMMANDS_NEUTRAL} ${PAGINET_COMMANDS_WIN} ${PAGINET_DLL_COMMANDS} ${commands_fake} ${commands_gbk})
  target_link_libraries(commands_probe PRIVATE paginet_sound)
  add_dependencies(commands_probe commands_test_dll)
endif()
