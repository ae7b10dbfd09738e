# The markup parser, built natively with the portable platform seam: the
# fuzz targets, and the parser's unit tests under the same sanitizers
# (without libFuzzer). The "scalar" twins leave out the SSE2 scans, so the
# word-at-a-time code that the i686 build ships is run too.
set(QEL_MARKUP_SOURCES
  ${QEL_ROOT}/ui/core/markup.cpp
  ${QEL_ROOT}/ui/core/markup_parser.cpp
  ${QEL_ROOT}/ui/core/markup_platform_posix.cpp)

qel_fuzzer(markup_fuzzer SOURCES markup_fuzzer.cpp ${QEL_MARKUP_SOURCES})
qel_fuzzer(markup_scalar_fuzzer SOURCES markup_fuzzer.cpp ${QEL_MARKUP_SOURCES})
target_compile_options(markup_scalar_fuzzer PRIVATE -U__SSE2__)

if(NOT TARGET gtest_main)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

set(QEL_NATIVE_TEST_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer -g -O1)
file(GLOB _markup_tests CONFIGURE_DEPENDS ${QEL_ROOT}/tests/markup/*_test.cpp)
foreach(_name markup_tests markup_scalar_tests)
  add_executable(${_name} ${_markup_tests} ${QEL_MARKUP_SOURCES})
  target_include_directories(${_name} PRIVATE ${QEL_ROOT})
  target_compile_options(${_name} PRIVATE ${QEL_NATIVE_TEST_SANITIZE} -Wall -Wextra -Werror)
  target_link_options(${_name} PRIVATE ${QEL_NATIVE_TEST_SANITIZE})
  target_link_libraries(${_name} PRIVATE gtest_main)
endforeach()
target_compile_options(markup_scalar_tests PRIVATE -U__SSE2__)
