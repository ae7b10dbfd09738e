# UTF-8/UTF-16 conversion and path splitting.
qel_fuzzer(text_fuzzer
  SOURCES
    ${QEL_ROOT}/tests/fuzz/text_fuzzer.cpp
    ${QEL_ROOT}/base/util/string_util.cpp
    ${QEL_ROOT}/base/file/file_util.cpp)
