# Core and DLL command tests. They build the command sources with a stand-in
# for the runtime services, so they do not depend on the rest of the runtime.
# The sources are compiled once, into object libraries that the tests, the
# probe and the fuzzers share (a program links each of them itself: CMake
# passes on no objects of an object library it links).
add_library(commands_on_fake OBJECT ${PAGINET_COMMANDS_NEUTRAL}
  ${CMAKE_SOURCE_DIR}/tests/runtime/commands_fake_runtime.cpp)
if(PAGINET_FUZZ)
  return()
endif()
paginet_test(commands_neutral_test
  ${CMAKE_CURRENT_SOURCE_DIR}/text_commands_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/conversion_commands_test.cpp
  LIBS commands_on_fake)

if(WIN32 AND TARGET paginet_sound)
  # The Win32 commands convert text through the runtime's one GBK conversion.
  add_library(commands_win_on_fake OBJECT ${PAGINET_COMMANDS_WIN} ${PAGINET_DLL_COMMANDS}
    ${CMAKE_SOURCE_DIR}/runtime/gbk_win.cpp)
  target_link_libraries(commands_win_on_fake PUBLIC commands_on_fake paginet_sound)
  add_library(commands_test_dll SHARED commands_test_dll.cpp commands_test_dll.def)
  set_target_properties(commands_test_dll PROPERTIES PREFIX "")
  paginet_test(commands_win_test
    ${CMAKE_CURRENT_SOURCE_DIR}/commands_test_win.cpp
    LIBS commands_win_on_fake commands_on_fake LOCK desktop sound)
  add_dependencies(commands_win_test commands_test_dll)

  # Child process for the cases that end the program (tests/wine/commands_dll.sh).
  add_executable(commands_probe commands_probe_win.cpp)
  target_link_libraries(commands_probe PRIVATE commands_win_on_fake commands_on_fake)
  add_dependencies(commands_probe commands_test_dll)
endif()
