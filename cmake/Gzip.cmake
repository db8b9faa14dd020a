# cmake -DINPUT=<file> -DOUTPUT=<file.gz> -P Gzip.cmake
# Best compression and no name or time stamp in the header, so the same input always gives the
# same bytes (Debian asks this of changelogs and manual pages).
execute_process(COMMAND gzip -9n -c ${INPUT} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "gzip ${INPUT} failed: ${result}")
endif()
