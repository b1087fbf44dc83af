# Warnings that apply to the project's own code only.
function(trellan_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Precompiled headers for the libraries: the standard headers most of their
# translation units include. The test programs go without: few files share each
# program's header, and it paid them about a tenth.
function(trellan_precompile target)
  target_precompile_headers(${target} PRIVATE <algorithm> <cstdint> <cstring> <functional> <map> <memory> <mutex>
    <optional> <string> <vector>)
endfunction()

# One test executable per folder of tests/: every *Test.cpp in it, linked with the
# module and GoogleTest. Extra arguments are ctest labels.
function(trellan_test_folder folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target tests_${folder})
  add_executable(${target} ${sources})
  trellan_warnings(${target})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE TrellanComponents TrellanTestSupport GTest::gtest GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARGN}")
endfunction()

# A test that runs PROGRAM [OPTIONS...] FOLDER (a program writing one PNG per state into
# FOLDER, under the build tree) and compares every picture with tests/references/NAME.
function(trellan_picture_test name program)
  set(output ${CMAKE_BINARY_DIR}/pictures/${name})
  string(REPLACE ";" " " options "${ARGN}")
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> "-DOPTIONS=${options}" -DOUTPUT=${output}
            -DREFERENCES=${PROJECT_SOURCE_DIR}/tests/references/${name}
            -DCOMPARE=$<TARGET_FILE:compare-pictures>
            -P ${PROJECT_SOURCE_DIR}/tests/support/run_and_compare.cmake)
endfunction()
