# Runs a program that writes PNG pictures into a fresh folder, then compares them with
# their references (compare-pictures). Called by trellan_picture_test as
#   cmake -DPROGRAM=... [-DOPTIONS="..."] -DOUTPUT=... -DREFERENCES=... -DCOMPARE=... -P run_and_compare.cmake
# OPTIONS, separated by spaces, go to the program before the folder.
file(REMOVE_RECURSE ${OUTPUT})
separate_arguments(options UNIX_COMMAND "${OPTIONS}")
execute_process(COMMAND ${PROGRAM} ${options} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${OUTPUT} failed: ${status}")
endif()
execute_process(COMMAND ${COMPARE} ${REFERENCES} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pictures in ${OUTPUT} differ from ${REFERENCES}")
endif()
