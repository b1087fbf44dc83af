# trellan_byte_list(FILE VAR): the bytes of FILE as a C++ initializer list ("0x12, ...",
# 24 a line), for scripts that compile files into a program.
function(trellan_byte_list file var)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
  set(${var} "${bytes}" PARENT_SCOPE)
endfunction()
