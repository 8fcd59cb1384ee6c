# The manual page: rkm7500.1.in with its @ variables set, the options
# section (@OPTIONS@) written by the program from its option table, so that
# the manual and --help always list the same options.
#   cmake -DPROGRAM=... -DSOURCE=rkm7500.1.in -DOUTPUT=rkm7500.1
#         -DPROJECT_VERSION=... -DPROJECT_HOMEPAGE_URL=... -P manual.cmake
execute_process(COMMAND ${PROGRAM} --manual-options OUTPUT_VARIABLE OPTIONS
  RESULT_VARIABLE status)
string(STRIP "${OPTIONS}" OPTIONS)
if(NOT status EQUAL 0 OR OPTIONS STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --manual-options failed (${status})")
endif()
file(READ ${SOURCE} page)
string(CONFIGURE "${page}" page @ONLY)
file(WRITE ${OUTPUT}.new "${page}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
