# Text between the runtime's wide strings and the script engine, with the
# engine itself (QuickJS, as scripts/setup-deps fetches it; built plain,
# without the sanitizers' coverage).
if(DEFINED ENV{QEL_DEPS_DIR})
  set(_deps "$ENV{QEL_DEPS_DIR}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(_deps "$ENV{XDG_CACHE_HOME}/qelmora")
else()
  set(_deps "$ENV{HOME}/.cache/qelmora")
endif()
set(QEL_QUICKJS_DIR "${_deps}/quickjs-2021-03-27" CACHE PATH "QuickJS 2021-03-27 sources")
if(EXISTS "${QEL_QUICKJS_DIR}/quickjs.c")
  enable_language(C)
  file(STRINGS "${QEL_QUICKJS_DIR}/VERSION" _quickjs_version LIMIT_COUNT 1)
  add_library(quickjs_native STATIC
    ${QEL_QUICKJS_DIR}/quickjs.c
    ${QEL_QUICKJS_DIR}/libregexp.c
    ${QEL_QUICKJS_DIR}/libunicode.c
    ${QEL_QUICKJS_DIR}/cutils.c
    ${QEL_QUICKJS_DIR}/libbf.c)
  target_compile_definitions(quickjs_native PRIVATE
    CONFIG_VERSION="${_quickjs_version}" _GNU_SOURCE CONFIG_BIGNUM)
  target_compile_definitions(quickjs_native INTERFACE CONFIG_BIGNUM)
  target_compile_options(quickjs_native PRIVATE -w -fwrapv -O1)
  target_include_directories(quickjs_native SYSTEM INTERFACE ${QEL_QUICKJS_DIR})

  qel_fuzzer(js_strings_fuzzer
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/js_strings_fuzzer.cpp
      ${QEL_ROOT}/runtime/standin/script/js_strings.cpp
      ${QEL_ROOT}/base/util/string_util.cpp)
  target_link_libraries(js_strings_fuzzer PRIVATE quickjs_native m pthread dl)
else()
  message(WARNING "QuickJS not found in ${QEL_QUICKJS_DIR}: no js_strings_fuzzer")
endif()
