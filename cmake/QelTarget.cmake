# Shared settings of every target of the project.

add_library(qel_options INTERFACE)
target_compile_definitions(qel_options INTERFACE
  UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
  _WIN32_WINNT=0x0601 WINVER=0x0601)
target_compile_options(qel_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wno-missing-field-initializers
  $<$<BOOL:${QEL_WARNINGS_AS_ERRORS}>:-Werror>)
# The program must start without the compiler's runtime DLLs beside it.
target_link_options(qel_options INTERFACE -static -static-libgcc -static-libstdc++)
target_include_directories(qel_options INTERFACE ${PROJECT_SOURCE_DIR})

# qel_library(name SOURCES ... [DEPS ...]): a static library of the project.
function(qel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC qel_options ${ARG_DEPS})
endfunction()
