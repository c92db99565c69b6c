# Fills a manual page template: the line @GENERATED_SECTIONS@ becomes what
# `lexoquill-batch --print-man LANG` prints (its COMMANDS and OPTIONS sections).
#   cmake -DEXE=... -DLANG=en|zh -DIN=page.1.in -DOUT=page.1 -P ManPage.cmake
execute_process(COMMAND ${EXE} --print-man ${LANG} OUTPUT_VARIABLE sections RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${EXE} --print-man ${LANG} failed: ${rc}")
endif()
file(READ ${IN} page)
string(REPLACE "@GENERATED_SECTIONS@\n" "${sections}" page "${page}")
file(WRITE ${OUT} "${page}")
