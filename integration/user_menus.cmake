# The Applications and Macros menus: the slot rules build in both trees, the runner and the setup
# dialogs in the Win32 tree.
ql_library(ql_user_menus_core SOURCES ${CMAKE_CURRENT_LIST_DIR}/user_menu_rules.cpp)
if(QL_NATIVE)
  ql_native_test(user_menu_rules_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/user_menu_rules_test.cpp
                 LIBS ql_user_menus_core)
endif()

if(QL_WIN32)
  ql_win_library(ql_user_menus SOURCES ${CMAKE_CURRENT_LIST_DIR}/user_menus_win.cpp
                 LIBS ql_user_menus_core ql_browser ql_winshared ql_common EXTERNAL user32)
endif()

if(QL_WIN32 AND TARGET ql_resources AND TARGET record_standin AND EXISTS ${CMAKE_SOURCE_DIR}/archivers/zip/CMakeLists.txt)
  # The menus through the frame: the setup dialogs, a slot run recorded by the stand-in, and a
  # macro whose archive Debian's unzip judges.
  ql_win_test(user_menus_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/user_menus_test.cpp
              LIBS ql_app ql_testsupport ql_resources DEPENDS record_standin pkzip GUI TIMEOUT 300)
  target_compile_definitions(user_menus_test PRIVATE QL_STANDIN="Z:$<TARGET_FILE:record_standin>"
                             RUNS_DIR="Z:${CMAKE_CURRENT_BINARY_DIR}/menu_runs")
endif()
