# Writes OUTPUT, the manual page, from `PROGRAM --help` through CONVERTER.
#   cmake -DPROGRAM=... -DCONVERTER=... -DVERSION=... -DOUTPUT=... -P man_page.cmake
# The date honours SOURCE_DATE_EPOCH, so a rebuild can give the same page.
string(TIMESTAMP date "%Y-%m-%d" UTC)
execute_process(
  COMMAND ${PROGRAM} --help
  COMMAND ${CONVERTER} veldor ${VERSION} ${date}
  OUTPUT_FILE ${OUTPUT}.new
  RESULTS_VARIABLE results)
foreach(result IN LISTS results)
  if(NOT result EQUAL 0)
    file(REMOVE ${OUTPUT}.new)
    message(FATAL_ERROR "Cannot write the manual page: ${PROGRAM} --help | ${CONVERTER} gave ${results}")
  endif()
endforeach()
file(RENAME ${OUTPUT}.new ${OUTPUT})
