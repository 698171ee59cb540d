# Fills in @VERSION@ and compresses the file reproducibly (no name or time
# stamp in the gzip header), as Debian wants its changelog and manual pages.
#   cmake -DSOURCE=<template> -DOUTPUT=<file>.gz -DVERSION=... -P GzipFile.cmake
string(REGEX REPLACE "\\.gz$" "" plain ${OUTPUT})
configure_file(${SOURCE} ${plain} @ONLY)
execute_process(COMMAND gzip -9 -n -f ${plain} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${plain}")
endif()
