# The page engine's portable half (markup reader, document model, style
# subset, charsets, addresses, form submission): the fuzz target, and the
# portable unit tests of tests/page under the same sanitizers.
set(QEL_PAGE_SOURCES
  ${QEL_ROOT}/runtime/standin/page/character_references.cpp
  ${QEL_ROOT}/runtime/standin/page/charset.cpp
  ${QEL_ROOT}/runtime/standin/page/charset_posix.cpp
  ${QEL_ROOT}/runtime/standin/page/document.cpp
  ${QEL_ROOT}/runtime/standin/page/form_submission.cpp
  ${QEL_ROOT}/runtime/standin/page/html_reader.cpp
  ${QEL_ROOT}/runtime/standin/page/node.cpp
  ${QEL_ROOT}/runtime/standin/page/selector.cpp
  ${QEL_ROOT}/runtime/standin/page/style.cpp
  ${QEL_ROOT}/runtime/standin/page/url.cpp)

qel_fuzzer(page_fuzzer SOURCES page_fuzzer.cpp ${QEL_PAGE_SOURCES})

if(NOT TARGET gtest_main)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

set(_page_sanitize -fsanitize=address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer -g -O1)
# The tests named *_portable_test.cpp use nothing of Windows.
file(GLOB _page_tests CONFIGURE_DEPENDS ${QEL_ROOT}/tests/page/*_portable_test.cpp)
add_executable(page_tests ${_page_tests} ${QEL_PAGE_SOURCES})
target_include_directories(page_tests PRIVATE ${QEL_ROOT})
target_compile_options(page_tests PRIVATE ${_page_sanitize} -Wall -Wextra -Werror)
target_link_options(page_tests PRIVATE ${_page_sanitize})
target_link_libraries(page_tests PRIVATE gtest_main)
