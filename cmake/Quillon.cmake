# Build helpers shared by every component.
#
#   ql_library(name SOURCES ... [LIBS ql-libs...] [EXTERNAL other-libs...] [INCLUDE dirs...])
#       A library of platform-free code (no windows.h). Built in both trees; in the native tree
#       also as name_san (ASan + UBSan + fuzzer coverage) for tests and fuzzers.
#   ql_win_library(name SOURCES ... [LIBS ...] [EXTERNAL ...])   Win32 tree only.
#   ql_program(name [WIN32|CONSOLE|DLL] SOURCES ... [LIBS ...] [EXTERNAL ...] [DEF file] [OUTPUT_NAME n]
#              [CATCHES sources...])
#       Something that ships in the program directory build/quillon/ (Win32 tree only). It links
#       without unused sections and is stripped; its symbols stay beside the tree's other
#       build products as debug/<file>.debug (gdb: symbol-file). Tests keep their debug info.
#       i686: without unwind tables, so that unused sections really go (see below), unless
#       CATCHES names the sources whose try/catch must keep working.
#   ql_size_sources(files...)
#       Win32 tree: these sources of the current directory are compiled for size (-Os): code whose
#       speed does not matter (command lines, dialogs, orchestration). Codecs keep the build type's
#       level.
#   ql_native_tool(name SOURCES ... [LIBS ...] [EXTERNAL ...])   build/native/bin/, optimised.
#   ql_native_test(name SOURCES ... [LIBS ...] [EXTERNAL ...])   GoogleTest under ASan/UBSan.
#   ql_fuzzer(name SOURCES ... [LIBS ...] [EXTERNAL ...] CORPUS dir)
#       libFuzzer target (clang only); the ordinary test run replays the saved corpus.
#   ql_win_test(name SOURCES ... [LIBS ...] [EXTERNAL ...] [GUI] [DEPENDS targets...] [SHARDS n] [TIMEOUT s])
#       GoogleTest under Wine. One ctest entry per shard (`name`, or `name/i` of n shards), each one
#       Wine process running its share of the cases (GTEST_TOTAL_SHARDS/GTEST_SHARD_INDEX); a failing
#       entry's output names its failed cases. Entries are dealt out over the Wine sessions (a
#       prefix with its own wineserver and Xvfb each); GUI entries hold their session's desktop lock
#       so that windows of parallel tests do not meet. TIMEOUT bounds one entry (default 600 s).

set(QL_PROGRAM_DIR "${CMAKE_BINARY_DIR}/program" CACHE PATH "Program directory of the Win32 build")
set(QL_NATIVE_BIN "${CMAKE_BINARY_DIR}/bin")
set(QL_DEBUG_DIR "${CMAKE_BINARY_DIR}/debug")
set(QL_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(QL_FUZZ_OK ON)
  set(QL_SAN_COMPILE_FLAGS ${QL_SAN_FLAGS} -fsanitize=fuzzer-no-link)
else()
  set(QL_FUZZ_OK OFF)
  set(QL_SAN_COMPILE_FLAGS ${QL_SAN_FLAGS})
endif()

if(QL_WIN32)
  # `cmake --build build/win32 --target programs` builds just what ships in the program directory.
  add_custom_target(programs)
  add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 NOMINMAX)
  add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
  # Every function and object in its own section, so that programs can leave out what they never
  # reach (--gc-sections in ql_program).
  add_compile_options(-ffunction-sections -fdata-sections)
else()
  add_compile_options(-Wall -Wextra)
endif()

# i686 (DWARF unwinding): the linker's own script keeps every object's unwind tables (.eh_frame)
# whole, and an object's table names every function in it, so --gc-sections left nothing of an
# object that was linked at all: half of each program was code it never calls (all of the C++
# library's string, for one std::string). Programs link with the linker's script less that rule:
# the unwind tables go, and with them the sections nothing else uses. Exceptions then have no
# tables to travel by; an exception that nothing catches ends the program as before
# (terminate_handler.cpp). A program whose code catches one (CATCHES) keeps every table: an
# exception must find one for each frame it passes, its own code's, the runtime's, and those of
# the local copies the compiler makes of template code, which no rule can pick out. x86_64 keeps
# the linker's script: its unwind tables (.pdata/.xdata) are the ones Windows itself unwinds by.
set(QL_UNWIND_RULE "KEEP(*(.eh_frame*))")
if(QL_WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-prog-name=ld OUTPUT_VARIABLE _ql_ld
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${_ql_ld} --verbose OUTPUT_VARIABLE _ql_ld_out RESULT_VARIABLE _ql_ld_rc)
  string(FIND "${_ql_ld_out}" "==================================================" _ql_from)
  string(FIND "${_ql_ld_out}" "==================================================" _ql_to REVERSE)
  if(_ql_ld_rc EQUAL 0 AND _ql_from GREATER -1 AND _ql_to GREATER _ql_from)
    math(EXPR _ql_from "${_ql_from} + 50")
    math(EXPR _ql_len "${_ql_to} - ${_ql_from}")
    string(SUBSTRING "${_ql_ld_out}" ${_ql_from} ${_ql_len} QL_LINKER_SCRIPT)
    string(FIND "${QL_LINKER_SCRIPT}" "${QL_UNWIND_RULE}" _ql_rule_at)
    if(_ql_rule_at EQUAL -1)
      message(WARNING "the linker's script keeps unwind tables otherwise than expected; programs keep them all")
      unset(QL_LINKER_SCRIPT)
    endif()
  else()
    message(WARNING "no default linker script from ${_ql_ld}; programs keep all unwind tables")
  endif()
endif()

# Links `name` with the linker's script less its rule that keeps every unwind table (only the
# start-up files' stay); a program that catches exceptions (CATCHES) keeps the linker's script.
function(_ql_unwind_script name)
  if(NOT DEFINED QL_LINKER_SCRIPT OR ARGN)
    return()
  endif()
  set(keep "KEEP(*crtbegin.o(.eh_frame*)) *(.eh_frame*) KEEP(*crtend.o(.eh_frame*))")
  string(REPLACE "${QL_UNWIND_RULE}" "${keep}" script "${QL_LINKER_SCRIPT}")
  set(path ${CMAKE_CURRENT_BINARY_DIR}/${name}-sections.x)
  file(CONFIGURE OUTPUT ${path} CONTENT "${script}" @ONLY)
  target_link_options(${name} PRIVATE -Wl,-T,${path})
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${path})
endfunction()

function(_ql_parse prefix)
  cmake_parse_arguments(A "GUI;WIN32;CONSOLE;DLL" "DEF;OUTPUT_NAME;CORPUS;TIMEOUT;SHARDS"
                        "SOURCES;LIBS;EXTERNAL;INCLUDE;DEPENDS;CATCHES" ${ARGN})
  foreach(v GUI WIN32 CONSOLE DLL DEF OUTPUT_NAME CORPUS TIMEOUT SHARDS SOURCES LIBS EXTERNAL INCLUDE DEPENDS CATCHES)
    set(${prefix}_${v} "${A_${v}}" PARENT_SCOPE)
  endforeach()
endfunction()

function(_ql_san_libs out)
  set(r)
  foreach(l ${ARGN})
    list(APPEND r ${l}_san)
  endforeach()
  set(${out} ${r} PARENT_SCOPE)
endfunction()

function(ql_library name)
  _ql_parse(A ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${A_INCLUDE})
  target_link_libraries(${name} PUBLIC ${A_LIBS} ${A_EXTERNAL})
  if(QL_NATIVE)
    target_compile_options(${name} PRIVATE -O2)
    add_library(${name}_san STATIC ${A_SOURCES})
    target_include_directories(${name}_san PUBLIC ${CMAKE_SOURCE_DIR} ${A_INCLUDE})
    target_compile_options(${name}_san PUBLIC ${QL_SAN_FLAGS} PRIVATE ${QL_SAN_COMPILE_FLAGS})
    target_link_options(${name}_san PUBLIC ${QL_SAN_FLAGS})
    _ql_san_libs(san ${A_LIBS})
    target_link_libraries(${name}_san PUBLIC ${san} ${A_EXTERNAL})
  endif()
endfunction()

function(ql_win_library name)
  _ql_parse(A ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${A_INCLUDE})
  target_link_libraries(${name} PUBLIC ${A_LIBS} ${A_EXTERNAL})
endfunction()

function(ql_program name)
  _ql_parse(A ${ARGN})
  list(APPEND A_SOURCES ${CMAKE_SOURCE_DIR}/common/terminate_handler.cpp)
  if(A_DLL)
    add_library(${name} SHARED ${A_SOURCES} ${A_DEF})
    set_target_properties(${name} PROPERTIES PREFIX "")
  elseif(A_WIN32)
    add_executable(${name} WIN32 ${A_SOURCES})
  else()
    add_executable(${name} ${A_SOURCES})
  endif()
  target_link_libraries(${name} PRIVATE ${A_LIBS} ${A_EXTERNAL})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QL_PROGRAM_DIR}
                                           LIBRARY_OUTPUT_DIRECTORY ${QL_PROGRAM_DIR})
  if(A_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${A_OUTPUT_NAME})
  endif()
  target_link_options(${name} PRIVATE -Wl,--gc-sections)
  _ql_unwind_script(${name} ${A_CATCHES})
  file(MAKE_DIRECTORY ${QL_DEBUG_DIR})
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${name}>
            ${QL_DEBUG_DIR}/$<TARGET_FILE_NAME:${name}>.debug
    COMMAND ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${name}>
    VERBATIM)
  add_dependencies(programs ${name})
endfunction()

function(ql_size_sources)
  if(QL_WIN32)
    set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS -Os)
  endif()
endfunction()

function(ql_native_tool name)
  _ql_parse(A ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE -O2)
  target_link_libraries(${name} PRIVATE ${A_LIBS} ${A_EXTERNAL})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QL_NATIVE_BIN})
  if(A_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${A_OUTPUT_NAME})
  endif()
endfunction()

function(ql_native_test name)
  _ql_parse(A ${ARGN})
  add_executable(${name} ${A_SOURCES})
  _ql_san_libs(san ${A_LIBS})
  target_compile_options(${name} PRIVATE ${QL_SAN_FLAGS})
  target_link_options(${name} PRIVATE ${QL_SAN_FLAGS})
  target_link_libraries(${name} PRIVATE ${san} ${A_EXTERNAL} GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE QL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(A_DEPENDS)
    add_dependencies(${name} ${A_DEPENDS})
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT ${A_TIMEOUT} LABELS native
                                  ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0;UBSAN_OPTIONS=print_stacktrace=1")
endfunction()

function(ql_fuzzer name)
  _ql_parse(A ${ARGN})
  if(NOT QL_FUZZ_OK)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  _ql_san_libs(san ${A_LIBS})
  target_compile_options(${name} PRIVATE ${QL_SAN_FLAGS} -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE ${QL_SAN_FLAGS} -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${san} ${A_EXTERNAL})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QL_NATIVE_BIN})
  # Replays every saved input once; a crash or sanitizer report fails the test. The scratch
  # directory keeps the replay runnable when a corpus has no saved inputs yet (git keeps no empty
  # directories).
  set(dirs ${CMAKE_CURRENT_BINARY_DIR}/${name}_scratch)
  file(MAKE_DIRECTORY ${dirs})
  if(EXISTS ${A_CORPUS})
    list(APPEND dirs ${A_CORPUS})
  endif()
  add_test(NAME ${name}_corpus COMMAND ${name} -runs=0 ${dirs})
  set_tests_properties(${name}_corpus PROPERTIES TIMEOUT 300 LABELS fuzz
                       ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endfunction()

# The Wine session a Win32 test entry runs in: its fixture name, prefix and desktop lock. Session 0
# is the build tree's `wineprefix` (scripts that look at a test's display find it there).
set(QL_WINE_SESSIONS 2 CACHE STRING "Wine sessions (prefix, wineserver, Xvfb) the Win32 tests share out")
function(ql_wine_session index out_fixture out_prefix)
  if(index EQUAL 0)
    set(${out_fixture} wine_session PARENT_SCOPE)
    set(${out_prefix} ${CMAKE_BINARY_DIR}/wineprefix PARENT_SCOPE)
  else()
    set(${out_fixture} wine_session_${index} PARENT_SCOPE)
    set(${out_prefix} ${CMAKE_BINARY_DIR}/wineprefix-${index} PARENT_SCOPE)
  endif()
endfunction()

# Deals the next entry of one kind (GUI or not) to a session, in turn, so that each kind's entries
# spread evenly. (The counter is not called `n`: if() reads a bare N as the constant false.)
function(_ql_next_session kind out)
  get_property(count GLOBAL PROPERTY QL_NEXT_SESSION_${kind})
  if(NOT count)
    set(count 0)
  endif()
  math(EXPR session "${count} % ${QL_WINE_SESSIONS}")
  math(EXPR count "${count} + 1")
  set_property(GLOBAL PROPERTY QL_NEXT_SESSION_${kind} ${count})
  set(${out} ${session} PARENT_SCOPE)
endfunction()

function(ql_win_test name)
  _ql_parse(A ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} ${A_EXTERNAL} GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE QL_PROGRAM_DIR="${QL_PROGRAM_DIR}" QL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(A_DEPENDS)
    add_dependencies(${name} ${A_DEPENDS})
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 600)
  endif()
  if(NOT A_SHARDS)
    set(A_SHARDS 1)
  endif()
  if(A_GUI)
    set(kind GUI)
  else()
    set(kind PLAIN)
  endif()
  math(EXPR last "${A_SHARDS} - 1")
  foreach(shard RANGE ${last})
    set(test ${name})
    if(A_SHARDS GREATER 1)
      set(test ${name}/${shard})
    endif()
    _ql_next_session(${kind} session)
    ql_wine_session(${session} fixture prefix)
    add_test(NAME ${test} COMMAND ${name})
    set(props TIMEOUT ${A_TIMEOUT} FIXTURES_REQUIRED ${fixture} LABELS win32)
    if(A_GUI)
      list(APPEND props RESOURCE_LOCK wine_desktop_${session})
    endif()
    set_tests_properties(${test} PROPERTIES ${props})
    set_property(TEST ${test} PROPERTY ENVIRONMENT WINEPREFIX=${prefix} QL_WINE_SESSION=${session}
                 GTEST_TOTAL_SHARDS=${A_SHARDS} GTEST_SHARD_INDEX=${shard})
  endforeach()
endfunction()

if(QL_WIN32)
  # Per session, one private Xvfb and one persistent wineserver for the whole ctest run.
  add_executable(wine_warmup ${CMAKE_SOURCE_DIR}/tests/support/wine_warmup.c)
  math(EXPR last "${QL_WINE_SESSIONS} - 1")
  foreach(session RANGE ${last})
    ql_wine_session(${session} fixture prefix)
    add_test(NAME ${fixture}_start
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh start $<TARGET_FILE:wine_warmup>)
    set_tests_properties(${fixture}_start PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 300
                         ENVIRONMENT WINEPREFIX=${prefix})
    add_test(NAME ${fixture}_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh stop)
    set_tests_properties(${fixture}_stop PROPERTIES FIXTURES_CLEANUP ${fixture} ENVIRONMENT WINEPREFIX=${prefix})
  endforeach()
endif()
