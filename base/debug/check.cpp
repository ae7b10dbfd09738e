#include "base/debug/check.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace kbase {

namespace {

void PrintAndAbort(const char* condition, const char* file, int line) {
  char text[512];
  std::snprintf(text, sizeof(text), "%s(%d): check failed: %s\n", file, line, condition);
  OutputDebugStringA(text);
  std::fputs(text, stderr);
  std::fflush(stderr);
  std::abort();
}

std::atomic<CheckFailureHandler> g_handler{&PrintAndAbort};

}  // namespace

CheckFailureHandler SetCheckFailureHandler(CheckFailureHandler handler) {
  CheckFailureHandler previous = g_handler.exchange(handler ? handler : &PrintAndAbort);
  return previous == &PrintAndAbort ? nullptr : previous;
}

void CheckFailed(const char* condition, const char* file, int line) {
  g_handler.load()(condition, file, line);
}

}  // namespace kbase
