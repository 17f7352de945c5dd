# cmake -DOUTPUT=file -P WriteBuildDate.cmake: writes the day of the build,
# leaving the file (and its time stamp) alone when the day is the same.
string(TIMESTAMP day "%Y-%m-%d")
set(text "#pragma once\n\n// Written by the build: the day it ran.\n#define PALETTOR_BUILD_DATE \"${day}\"\n")
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL text)
    file(WRITE ${OUTPUT} "${text}")
endif()
