# Turns OpenCC's simplified-to-traditional character dictionary (as text: "简<TAB>簡 …") into a
# C++ include of one-to-one pairs. Only characters of one UTF-16 unit on both sides are kept, and
# only the first choice of each entry, so that the conversion never changes a text's length.
# Usage: cmake -DINPUT=st.txt -DOUTPUT=table.inc -P generate_traditional_table.cmake
file(STRINGS "${INPUT}" lines ENCODING UTF-8)
set(body "")
set(count 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([^\t]+)\t([^ \t]+)")
    continue()
  endif()
  set(simplified "${CMAKE_MATCH_1}")
  set(traditional "${CMAKE_MATCH_2}")
  string(LENGTH "${simplified}" simplifiedBytes)
  string(LENGTH "${traditional}" traditionalBytes)
  # One BMP character is at most three UTF-8 bytes, and more than one byte (not ASCII).
  if(simplifiedBytes LESS 2 OR simplifiedBytes GREATER 3 OR traditionalBytes LESS 2
     OR traditionalBytes GREATER 3 OR simplified STREQUAL traditional)
    continue()
  endif()
  string(APPEND body "{u'${simplified}', u'${traditional}'},\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count LESS 1000)
  message(FATAL_ERROR "${INPUT} yielded only ${count} pairs; is it OpenCC's STCharacters?")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from OpenCC's STCharacters dictionary; do not edit.\n${body}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
