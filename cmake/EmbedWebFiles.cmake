# Script mode: cmake -DBASE=<web folder> -DFILES=<a;b;c> -DOUTPUT=<file.cpp> -P EmbedWebFiles.cmake
# Writes a source that defines WebFiles() over the listed files of the web folder,
# each under its path relative to that folder.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/ByteArray.cmake)
set(arrays "")
set(entries "")
set(index 0)
foreach(name ${FILES})
  file(SIZE ${BASE}/${name} size)
  trellan_byte_list(${BASE}/${name} bytes)
  string(APPEND arrays "const unsigned char data${index}[] = {\n    ${bytes}\n};\n\n")
  string(APPEND entries "    {\"${name}\", {reinterpret_cast<const char*>(data${index}), ${size}}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT} "// Generated from the web folder; do not edit.
#include \"StaticFiles.h\"

namespace {

${arrays}const WebFile files[] = {
${entries}};

} // namespace

std::span<const WebFile> WebFiles()
{
    return files;
}
")
