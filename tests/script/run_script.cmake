# Runs one scripted session and compares its transcript, errors and exit status with the expected
# ones: NAME.script beside NAME.expected, and NAME.stderr and NAME.status when the script fails.
# Called with -DDRIVER=... -DSCRIPT=... -DWORKDIR=...
get_filename_component(dir ${SCRIPT} DIRECTORY)
get_filename_component(name ${SCRIPT} NAME_WE)
execute_process(
  COMMAND ${DRIVER} ${SCRIPT}
  WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_VARIABLE actual_out
  ERROR_VARIABLE actual_err
  RESULT_VARIABLE actual_status)

file(READ ${dir}/${name}.expected expected_out)
set(expected_err "")
if(EXISTS ${dir}/${name}.stderr)
  file(READ ${dir}/${name}.stderr expected_err)
endif()
set(expected_status 0)
if(EXISTS ${dir}/${name}.status)
  file(STRINGS ${dir}/${name}.status expected_status)
endif()

set(failed FALSE)
if(NOT actual_out STREQUAL expected_out)
  message(SEND_ERROR "transcript differs.\n--- expected\n${expected_out}--- actual\n${actual_out}")
  set(failed TRUE)
endif()
if(NOT actual_err STREQUAL expected_err)
  message(SEND_ERROR "errors differ.\n--- expected\n${expected_err}--- actual\n${actual_err}")
endif()
if(NOT actual_status STREQUAL expected_status)
  message(SEND_ERROR "exit status ${actual_status}, expected ${expected_status}")
endif()
