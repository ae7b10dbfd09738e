# The script engine's JSON text reader and writer of the stand-in runtime.
qel_fuzzer(json_fuzzer
  SOURCES
    ${QEL_ROOT}/tests/fuzz/json_fuzzer.cpp
    ${QEL_ROOT}/runtime/standin/json_text.cpp)
