# Fails unless the module's dynamic symbol table defines exactly CreatePlc, GetPlcIdNames and
# FreePlc (the module must not leak its internals to the host).
execute_process(COMMAND ${NM} -D --defined-only ${MODULE}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[ \t][A-Za-z][ \t]+[^\n]+" entries "${symbols}")
set(names)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^[ \t][A-Za-z][ \t]+" "" name "${entry}")
  list(APPEND names "${name}")
endforeach()
list(SORT names)
if(NOT names STREQUAL "CreatePlc;FreePlc;GetPlcIdNames")
  message(FATAL_ERROR "unexpected exported symbols: ${names}")
endif()
message(STATUS "exports: ${names}")
