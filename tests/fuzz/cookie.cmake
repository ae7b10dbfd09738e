# The cookie jar: Set-Cookie headers, the cookies sent back, its file.
qel_fuzzer(cookie_fuzzer
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/cookie_fuzzer.cpp
    ${QEL_ROOT}/runtime/standin/net/cookie_jar.cpp
    ${QEL_ROOT}/base/util/string_util.cpp)
