#pragma once

#include <string>
#include <utility>

#include "runtime/include/cef_v8.h"

namespace cef_standin {

// What a script error says, as reported on the console and handed to
// CefV8Context::Eval callers.
struct ScriptError {
  std::wstring message;  // "Uncaught TypeError: ..."
  std::wstring source;   // the script's address; empty when unknown
  int line = 0;          // 1-based; 0 when unknown
};

class V8ExceptionImpl : public CefV8Exception {
 public:
  explicit V8ExceptionImpl(ScriptError error) : error_(std::move(error)) {}

  CefString GetMessage() override { return error_.message; }
  CefString GetSourceLine() override { return CefString(); }
  CefString GetScriptResourceName() override { return error_.source; }
  int GetLineNumber() override { return error_.line; }
  int GetStartPosition() override { return 0; }
  int GetEndPosition() override { return 0; }
  int GetStartColumn() override { return 0; }
  int GetEndColumn() override { return 0; }

 private:
  const ScriptError error_;

  IMPLEMENT_REFCOUNTING(V8ExceptionImpl);
};

}  // namespace cef_standin
