# cmake -DEMULATOR=... -DPROGRAM=... -DWHAT=cells|meshes|trace -DDIGESTS=FILE -P CheckDigest.cmake
# The SHA-256 of what the program (under the emulator, if any) wrote against "<digest>  WHAT".
set(bytes ${CMAKE_CURRENT_BINARY_DIR}/world-${WHAT}.bin)
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${WHAT} ${bytes} RESULT_VARIABLE status)
file(SHA256 ${bytes} digest)
file(REMOVE ${bytes})
file(STRINGS ${DIGESTS} expected REGEX "  ${WHAT}$")
if(NOT status EQUAL 0 OR NOT expected STREQUAL "${digest}  ${WHAT}")
  message(FATAL_ERROR "${WHAT} differ from amd64's (status ${status}): ${digest}, amd64 gave ${expected}")
endif()
message(STATUS "${WHAT}: ${digest}, as on amd64")
