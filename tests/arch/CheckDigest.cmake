# cmake -DEMULATOR=... -DPROGRAM=... -DWHAT=cells|meshes|trace -DDIGESTS=FILE [-DREFERENCE=AMD64-PROGRAM] -P CheckDigest.cmake
# The SHA-256 of what the program (under the emulator, if any) wrote against "<digest>  WHAT"
# and, given amd64's own build of the program, against what that writes in the same run.
set(bytes ${CMAKE_CURRENT_BINARY_DIR}/world-${WHAT}.bin)
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${WHAT} ${bytes} RESULT_VARIABLE status)
file(SHA256 ${bytes} digest)
file(REMOVE ${bytes})
if(REFERENCE)
  execute_process(COMMAND ${REFERENCE} ${WHAT} ${bytes} RESULT_VARIABLE amd64)
  file(SHA256 ${bytes} reference)
  file(REMOVE ${bytes})
  if(NOT status EQUAL 0 OR NOT amd64 EQUAL 0 OR NOT reference STREQUAL digest)
    message(FATAL_ERROR "${WHAT} differ from amd64's of this run (status ${status}, amd64's ${amd64}): "
      "${digest}, amd64 gave ${reference}")
  endif()
endif()
file(STRINGS ${DIGESTS} expected REGEX "  ${WHAT}$")
if(NOT status EQUAL 0 OR NOT expected STREQUAL "${digest}  ${WHAT}")
  message(FATAL_ERROR "${WHAT} differ from amd64's (status ${status}): ${digest}, amd64 gave ${expected}")
endif()
message(STATUS "${WHAT}: ${digest}, as on amd64")
