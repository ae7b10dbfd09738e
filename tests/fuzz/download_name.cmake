# Download names from Content-Disposition, and host resolver rules.
qel_fuzzer(download_name_fuzzer
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/download_name_fuzzer.cpp
    ${QEL_ROOT}/runtime/standin/net/content_disposition.cpp
    ${QEL_ROOT}/runtime/standin/net/host_resolver_rules.cpp
    ${QEL_ROOT}/base/util/string_util.cpp)
