# GoogleTest and GoogleMock from Debian's source package, built with the
# project's own cross compiler.
set(QEL_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${QEL_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# qel_test(name SOURCES ... [DEPS ...]): one test executable, one ctest entry.
function(qel_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE qel_options ${ARG_DEPS} gmock gtest_main)
  if(CMAKE_CROSSCOMPILING_EMULATOR OR NOT CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1
             WORKING_DIRECTORY ${QEL_OUTPUT_DIR})
  endif()
endfunction()
