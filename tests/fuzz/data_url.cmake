# data: addresses and Content-Type values.
qel_fuzzer(data_url_fuzzer
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/data_url_fuzzer.cpp
    ${QEL_ROOT}/runtime/standin/net/content_type.cpp
    ${QEL_ROOT}/runtime/standin/net/data_url.cpp
    ${QEL_ROOT}/runtime/standin/net/url.cpp
    ${QEL_ROOT}/base/util/string_util.cpp)
