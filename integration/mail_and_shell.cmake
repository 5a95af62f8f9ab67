# Mail through Simple MAPI, the File Manager extension QL53FM.DLL and Program Manager groups
# through QL5DINTL.DLL.
set(QL_MAIL_SHELL_DIR ${CMAKE_CURRENT_LIST_DIR})

# The command texts: Program Manager's DDE commands and the mail client's program name.
ql_library(ql_shellrules SOURCES ${QL_MAIL_SHELL_DIR}/progman_commands.cpp ${QL_MAIL_SHELL_DIR}/mail_client.cpp)
if(QL_NATIVE)
  ql_native_test(shell_rules_test SOURCES ${QL_MAIL_SHELL_DIR}/tests/shell_rules_test.cpp LIBS ql_shellrules)
endif()

if(QL_WIN32)
  ql_size_sources(${QL_MAIL_SHELL_DIR}/mail_win.cpp ${QL_MAIL_SHELL_DIR}/shell_win.cpp
                  ${QL_MAIL_SHELL_DIR}/fm_extension_dll.cpp ${QL_MAIL_SHELL_DIR}/program_groups_dll.cpp)
  ql_win_library(ql_integration_win SOURCES ${QL_MAIL_SHELL_DIR}/mail_win.cpp ${QL_MAIL_SHELL_DIR}/shell_win.cpp
                 LIBS ql_shellrules ql_engine_win ql_common EXTERNAL advapi32 user32)

  # The two libraries ship beside quillon.exe.
  ql_program(ql53fm DLL SOURCES ${QL_MAIL_SHELL_DIR}/fm_extension_dll.cpp
             DEF ${QL_MAIL_SHELL_DIR}/fm_extension_dll.def EXTERNAL user32 OUTPUT_NAME QL53FM)
  ql_program(ql5dintl DLL SOURCES ${QL_MAIL_SHELL_DIR}/program_groups_dll.cpp
             DEF ${QL_MAIL_SHELL_DIR}/program_groups_dll.def LIBS ql_shellrules EXTERNAL user32 OUTPUT_NAME QL5DINTL)
  foreach(t ql53fm ql5dintl)
    set_target_properties(${t} PROPERTIES SUFFIX ".DLL")
    # The .def names the undecorated __stdcall symbols; the fix-up is intended.
    target_link_options(${t} PRIVATE -Wl,--enable-stdcall-fixup)
  endforeach()
  if(TARGET quillon)
    add_dependencies(quillon ql53fm ql5dintl)
  endif()

  # Stand-ins, for tests only: a Simple MAPI provider with a canned mailbox, and a file manager.
  add_library(ql_mail_provider_standin SHARED ${QL_MAIL_SHELL_DIR}/tests/mail_provider_standin.cpp
              ${QL_MAIL_SHELL_DIR}/tests/mail_provider_standin.def)
  set_target_properties(ql_mail_provider_standin PROPERTIES PREFIX "" OUTPUT_NAME qlmailstandin
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/standins)
  target_link_options(ql_mail_provider_standin PRIVATE -Wl,--enable-stdcall-fixup)
  add_executable(ql_file_manager_host WIN32 ${QL_MAIL_SHELL_DIR}/tests/file_manager_host.cpp)
  target_link_libraries(ql_file_manager_host PRIVATE shell32 user32)
  set_target_properties(ql_file_manager_host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/standins)

  if(TARGET ql_app AND TARGET ql_resources)
    set(standins "Z:${CMAKE_CURRENT_BINARY_DIR}/standins")
    # The mail commands on a frame made in the test's process, through mapi32 and the stand-in.
    ql_win_test(mail_commands_test SOURCES ${QL_MAIL_SHELL_DIR}/tests/mail_commands_test.cpp
                ${QL_MAIL_SHELL_DIR}/tests/mail_test_support.cpp
                LIBS ql_app ql_testsupport ql_resources EXTERNAL advapi32
                DEPENDS ql_mail_provider_standin GUI TIMEOUT 180)
    # quillon.exe itself: the mail button, the File Manager extension, Program Manager groups.
    ql_win_test(mail_shell_e2e_test SOURCES ${QL_MAIL_SHELL_DIR}/tests/mail_shell_e2e_test.cpp
                ${QL_MAIL_SHELL_DIR}/tests/mail_test_support.cpp
                LIBS ql_testsupport EXTERNAL advapi32 shell32 ole32
                DEPENDS quillon qlkbdtrp ql53fm ql5dintl ql_mail_provider_standin ql_file_manager_host
                GUI TIMEOUT 300)
    foreach(t mail_commands_test mail_shell_e2e_test)
      target_compile_definitions(${t} PRIVATE QL_STANDIN_DIR="${standins}")
    endforeach()
  endif()
endif()
