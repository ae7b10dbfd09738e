qel_fuzzer(image_spec_fuzzer
  SOURCES
    ${QEL_ROOT}/ui/control/image_spec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image_spec_fuzzer.cpp)
