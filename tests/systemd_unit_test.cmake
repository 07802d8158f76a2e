# Checks the service's systemd user unit with systemd-analyze: the unit must
# load without a single complaint (an unknown or misspelt option is only a
# warning to systemd, so any output fails the check).
# Invoked by ctest with -DANALYZE=<systemd-analyze> -DUNIT=<unit file> -DWORK=<scratch folder>.

# A user manager needs a runtime folder of its own, even only to verify.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(CHMOD ${WORK} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(ENV{XDG_RUNTIME_DIR} ${WORK})
execute_process(COMMAND ${ANALYZE} verify --user ${UNIT} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(REMOVE_RECURSE ${WORK})
if(NOT code EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "systemd-analyze verify --user ${UNIT}: exit status ${code}\n${out}")
endif()
