# Runs chmcmd on PROJECT_FILE in the current folder and copies the help.chm
# it writes there to OUTPUT. A failure is reported and leaves no OUTPUT, but
# does not stop the build: the program runs without its manual.
file(REMOVE help.chm ${OUTPUT})
execute_process(COMMAND ${CHMCMD} ${PROJECT_FILE}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(result EQUAL 0 AND EXISTS help.chm)
  file(COPY_FILE help.chm ${OUTPUT})
else()
  message(WARNING "help.chm not built: chmcmd failed (${result}):\n${output}")
endif()
