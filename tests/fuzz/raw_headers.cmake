# The header block of an HTTP response, split into names and values.
qel_fuzzer(raw_headers_fuzzer
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/raw_headers_fuzzer.cpp
    ${QEL_ROOT}/runtime/standin/net/raw_headers.cpp)
