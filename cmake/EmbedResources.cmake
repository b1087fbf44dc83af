# Script mode: cmake -DTABLE=<Resources.txt> -DOUTPUT=<file.cpp> -P EmbedResources.cmake
# Writes a source that registers the table's files as the module's resources.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/ByteArray.cmake)
get_filename_component(base ${TABLE} DIRECTORY)
file(STRINGS ${TABLE} rows REGEX "^[ \t]*[^# \t]")

set(arrays "")
set(entries "")
set(seen "")
set(index 0)
foreach(row ${rows})
  string(STRIP "${row}" row)
  if(NOT row MATCHES "^([A-Za-z0-9_]+)[ \t]+([0-9]+)[ \t]+([^ \t]+)$")
    message(FATAL_ERROR "${TABLE}: expected TYPE ID FILE, got \"${row}\"")
  endif()
  set(type ${CMAKE_MATCH_1})
  set(id ${CMAKE_MATCH_2})
  set(file ${base}/${CMAKE_MATCH_3})
  string(TOUPPER ${type} key)
  if(id LESS 1 OR id GREATER 65535)
    message(FATAL_ERROR "${TABLE}: id ${id} is outside 1 to 65535")
  endif()
  if("${key}:${id}" IN_LIST seen)
    message(FATAL_ERROR "${TABLE}: ${type} ${id} is listed twice")
  endif()
  list(APPEND seen "${key}:${id}")
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${TABLE}: ${file} does not exist")
  endif()
  file(SIZE ${file} size)
  if(size EQUAL 0)
    message(FATAL_ERROR "${TABLE}: ${file} is empty")
  endif()

  trellan_byte_list(${file} bytes)
  string(APPEND arrays "// ${row}\nalignas(8) const std::uint8_t data${index}[] = {\n    ${bytes}\n};\n\n")
  string(APPEND entries "    {\"${type}\", ${id}, data${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()

if(index EQUAL 0)
  set(body "")
else()
  set(body "namespace {\n\n${arrays}const ResourceEntry entries[] = {\n${entries}};\n
const std::span<const ResourceEntry> table{entries};
const bool registered = (RegisterEmbeddedResources(table), true);\n\n} // namespace\n")
endif()
file(WRITE ${OUTPUT} "// Generated from ${TABLE}; do not edit.
#include \"Platform/Resources/ResourceTable.h\"

namespace Platform {

${body}
} // namespace Platform
")
