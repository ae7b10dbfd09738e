# The network's addresses: parsing, resolving references, form encoding.
qel_fuzzer(url_fuzzer
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/url_fuzzer.cpp
    ${QEL_ROOT}/runtime/standin/net/url.cpp
    ${QEL_ROOT}/base/util/string_util.cpp)
