# Compiles a one-line file that includes HEADER with the include path that TARGET's own sources get.
# EXPECT "refused": the header must not be found (it belongs to a higher layer); "found": it must compile,
# which proves the probe itself works. HEADER_FILE is where the header really is, so a renamed header
# fails here instead of passing for the wrong reason.
#   cmake -DCOMPILER=... -DINCLUDES=a|b|c -DHEADER=views/x.h -DHEADER_FILE=/abs/x.h -DEXPECT=refused
#         -DPROBE=/build/probe_x.cpp -P check_include_boundary.cmake
if(NOT EXISTS "${HEADER_FILE}")
  message(FATAL_ERROR "the probed header ${HEADER_FILE} does not exist: update the layering test")
endif()
string(REPLACE "|" ";" _dirs "${INCLUDES}")
set(_flags)
foreach(dir IN LISTS _dirs)
  if(dir)
    list(APPEND _flags "-I${dir}")
  endif()
endforeach()
set(_probe "${PROBE}")
file(WRITE "${_probe}" "#include \"${HEADER}\"\n")
execute_process(COMMAND "${COMPILER}" -std=c++20 -fsyntax-only ${_flags} "${_probe}"
                RESULT_VARIABLE _status ERROR_VARIABLE _errors OUTPUT_QUIET)
if(EXPECT STREQUAL "refused")
  if(_status EQUAL 0)
    message(FATAL_ERROR "${HEADER} is reachable from a lower layer's include path: ${INCLUDES}")
  endif()
  string(FIND "${_errors}" "${HEADER}: No such file" _at)
  if(_at EQUAL -1)
    message(FATAL_ERROR "the probe failed for another reason than a missing header:\n${_errors}")
  endif()
else()
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "${HEADER} should compile with ${INCLUDES}:\n${_errors}")
  endif()
endif()
