# Virus scans: the detector's command lines and the archive scan's extraction (platform-free), and
# the scans with the drive dialog (Win32).
ql_size_sources(virus_scan_commands.cpp virus_scan_win.cpp)
ql_library(ql_virus_scan SOURCES virus_scan_commands.cpp LIBS ql_engine ql_common)
if(QL_NATIVE)
  ql_native_test(virus_scan_test SOURCES tests/virus_scan_commands_test.cpp LIBS ql_virus_scan ql_engine ql_common)
endif()

if(QL_WIN32)
  ql_win_library(ql_virus_scan_win SOURCES virus_scan_win.cpp
                 LIBS ql_virus_scan ql_engine_win ql_engine ql_winshared ql_common EXTERNAL user32)

  # The recording stand-in detector, for tests only: a console program (DOS kind) and a Windows one.
  set(virus_standins ${CMAKE_CURRENT_BINARY_DIR}/virus_standins)
  add_executable(virus_standin_dos tests/virus_standin.c)
  add_executable(virus_standin_win WIN32 tests/virus_standin.c)
  target_compile_definitions(virus_standin_win PRIVATE QL_GUI)
  set_target_properties(virus_standin_dos virus_standin_win PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${virus_standins})

  # The three scans through the frame, with the real runner, pkunzip, unzip engine and ARJ.
  if(TARGET ql_resources AND EXISTS ${CMAKE_SOURCE_DIR}/archivers/engines/CMakeLists.txt AND
     EXISTS ${CMAKE_SOURCE_DIR}/archivers/arj/CMakeLists.txt AND
     EXISTS ${CMAKE_SOURCE_DIR}/archivers/zip/CMakeLists.txt)
    ql_win_test(virus_scan_e2e_test SOURCES tests/virus_scan_e2e_test.cpp
                LIBS ql_app ql_testsupport ql_resources
                DEPENDS qlkbdtrp pkunzip arj_exe ql53nti1 virus_standin_dos virus_standin_win GUI TIMEOUT 300)
    target_compile_definitions(virus_scan_e2e_test PRIVATE SCAN_DIR="Z:${CMAKE_CURRENT_BINARY_DIR}/scans"
                               STANDIN_DIR="Z:${virus_standins}")
  endif()
endif()
