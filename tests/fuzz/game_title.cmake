# The game window's title parts and their percent-decoded bytes.
qel_fuzzer(game_title_fuzzer
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/game_title_fuzzer.cpp
    ${QEL_ROOT}/app/game_title_parts.cpp
    ${QEL_ROOT}/base/util/string_util.cpp)
