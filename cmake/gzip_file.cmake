# Compresses IN into OUT the way Debian wants manual pages and changelogs: gzip -9n, which
# leaves out the input's name and time stamp, so that the same text always gives the same
# bytes and the package builds reproducibly.
# cmake -DGZIP=/bin/gzip -DIN=file -DOUT=file.gz -P gzip_file.cmake
execute_process(COMMAND ${GZIP} -9n -c ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE failed)
if(failed)
    file(REMOVE ${OUT})
    message(FATAL_ERROR "gzip could not compress ${IN}")
endif()
