# Import libraries that load their DLL on the first call of one of its functions rather than when the
# program starts: what the first paint of a window does not need stays out of the start-up.
#   ql_delay_import(target DLL file.dll FUNCTIONS name:argument-bytes ...)
# makes `target`, linked in place of the DLL's own import library; call sites stay as they are.
# Argument bytes give the i686 stdcall decoration (name@bytes); x86_64 names are plain.
function(ql_delay_import target)
  cmake_parse_arguments(A "" "DLL" "FUNCTIONS" ${ARGN})
  set(def "${CMAKE_CURRENT_BINARY_DIR}/${target}.def")
  set(lib "${CMAKE_CURRENT_BINARY_DIR}/lib${target}.a")
  set(text "LIBRARY ${A_DLL}\nEXPORTS\n")
  foreach(f ${A_FUNCTIONS})
    string(REPLACE ":" ";" parts "${f}")
    list(GET parts 0 name)
    list(GET parts 1 bytes)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND text "${name}@${bytes}\n")
    else()
      string(APPEND text "${name}\n")
    endif()
  endforeach()
  file(WRITE "${def}.in" "${text}")
  configure_file("${def}.in" "${def}" COPYONLY)
  set(kill_at "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(kill_at -k)
  endif()
  add_custom_command(OUTPUT "${lib}"
                     COMMAND ${TOOLCHAIN_PREFIX}-dlltool ${kill_at} --input-def "${def}" --output-delaylib "${lib}"
                             --dllname ${A_DLL}
                     DEPENDS "${def}" VERBATIM)
  add_custom_target(${target}_lib DEPENDS "${lib}")
  add_library(${target} INTERFACE)
  add_dependencies(${target} ${target}_lib)
  target_link_libraries(${target} INTERFACE "${lib}")
endfunction()

if(QL_WIN32)
  ql_delay_import(ql_delay_comdlg32 DLL comdlg32.dll FUNCTIONS
                  ChooseFontA:4 CommDlgExtendedError:0 GetOpenFileNameA:4 PrintDlgA:4)
  ql_delay_import(ql_delay_shell32 DLL shell32.dll FUNCTIONS
                  DragFinish:4 DragQueryFileA:16 DragQueryPoint:8 SHCreateStdEnumFmtEtc:12
                  ShellExecuteA:24 ShellExecuteExA:4)
  ql_delay_import(ql_delay_mpr DLL mpr.dll FUNCTIONS WNetGetConnectionA:12)
endif()
