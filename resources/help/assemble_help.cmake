# Puts the help topics together into the help data file:
#   cmake -DHELP_SOURCES=<resources/help> -DHELP_OUTPUT=<file> -P assemble_help.cmake
# contents.lst gives the order of the Contents: "= Heading" starts a group, every other line names
# a topic source of topics/ (without ".txt"). Blank lines and lines beginning with "#" are skipped.
file(STRINGS "${HELP_SOURCES}/contents.lst" lines)
set(out "QLHELP 1\n")
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()
  if(line MATCHES "^= *(.*)$")
    string(APPEND out "@group ${CMAKE_MATCH_1}\n")
  else()
    if(NOT EXISTS "${HELP_SOURCES}/topics/${line}.txt")
      message(FATAL_ERROR "contents.lst names ${line}, but topics/${line}.txt is missing")
    endif()
    file(READ "${HELP_SOURCES}/topics/${line}.txt" text)
    string(APPEND out "${text}\n")
  endif()
endforeach()
file(WRITE "${HELP_OUTPUT}.tmp" "${out}")
file(RENAME "${HELP_OUTPUT}.tmp" "${HELP_OUTPUT}")
