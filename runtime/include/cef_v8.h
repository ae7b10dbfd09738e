#pragma once

#include <vector>

#include "runtime/include/cef_base.h"
#include "runtime/include/cef_browser.h"
#include "runtime/include/cef_frame.h"

class CefV8Value;
class CefV8Accessor;
class CefV8Exception;
typedef std::vector<CefRefPtr<CefV8Value>> CefV8ValueList;

// A page's script context. Renderer main thread only.
class CefV8Context : public virtual CefBaseRefCounted {
 public:
  // The context whose script is running, or null.
  static CefRefPtr<CefV8Context> GetCurrentContext();
  // The context most recently entered, or null.
  static CefRefPtr<CefV8Context> GetEnteredContext();
  static bool InContext();

  virtual bool IsValid() = 0;
  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
  virtual CefRefPtr<CefFrame> GetFrame() = 0;
  virtual CefRefPtr<CefV8Value> GetGlobal() = 0;
  // Enter and Exit nest; every Enter needs its Exit.
  virtual bool Enter() = 0;
  virtual bool Exit() = 0;
  virtual bool IsSame(CefRefPtr<CefV8Context> that) = 0;
  // Runs `code` in this context as a script from `script_url` whose first
  // line is `start_line`. True with the completion value in `retval`;
  // false with the error in `exception`.
  virtual bool Eval(const CefString& code,
                    const CefString& script_url,
                    int start_line,
                    CefRefPtr<CefV8Value>& retval,
                    CefRefPtr<CefV8Exception>& exception) = 0;
};

// Native code reached from page script: the functions an extension
// declares with "native function".
class CefV8Handler : public virtual CefBaseRefCounted {
 public:
  // True when handled. `retval` is the script's result; a non-empty
  // `exception` is thrown into the script when handled.
  virtual bool Execute(const CefString& name,
                       CefRefPtr<CefV8Value> object,
                       const CefV8ValueList& arguments,
                       CefRefPtr<CefV8Value>& retval,
                       CefString& exception) = 0;
};

// A script value. Renderer main thread only.
class CefV8Value : public virtual CefBaseRefCounted {
 public:
  static CefRefPtr<CefV8Value> CreateUndefined();
  static CefRefPtr<CefV8Value> CreateNull();
  static CefRefPtr<CefV8Value> CreateBool(bool value);
  static CefRefPtr<CefV8Value> CreateInt(int32 value);
  static CefRefPtr<CefV8Value> CreateDouble(double value);
  static CefRefPtr<CefV8Value> CreateString(const CefString& value);
  // Objects, arrays and functions need a current context. The accessor
  // serves accessor properties only, which this interface cannot add.
  static CefRefPtr<CefV8Value> CreateObject(CefRefPtr<CefV8Accessor> accessor);
  static CefRefPtr<CefV8Value> CreateArray(int length);
  // A function whose calls reach `handler` with `name`.
  static CefRefPtr<CefV8Value> CreateFunction(const CefString& name,
                                              CefRefPtr<CefV8Handler> handler);

  virtual bool IsValid() = 0;
  virtual bool IsUndefined() = 0;
  virtual bool IsNull() = 0;
  virtual bool IsBool() = 0;
  virtual bool IsInt() = 0;
  virtual bool IsDouble() = 0;
  virtual bool IsString() = 0;
  // Arrays and functions are objects too.
  virtual bool IsObject() = 0;
  virtual bool IsArray() = 0;
  virtual bool IsFunction() = 0;
  virtual bool IsSame(CefRefPtr<CefV8Value> that) = 0;
  virtual bool GetBoolValue() = 0;
  virtual int32 GetIntValue() = 0;
  virtual double GetDoubleValue() = 0;
  virtual CefString GetStringValue() = 0;
  // Objects: properties by name in the script's order (integer keys
  // first, ascending, then the others as they were added); arrays also by
  // index.
  virtual bool HasValue(const CefString& key) = 0;
  // The value of a property (undefined when absent), or null when reading
  // it threw or this is no object.
  virtual CefRefPtr<CefV8Value> GetValue(const CefString& key) = 0;
  virtual CefRefPtr<CefV8Value> GetValue(int index) = 0;
  virtual bool SetValue(const CefString& key,
                        CefRefPtr<CefV8Value> value,
                        cef_v8_propertyattribute_t attribute) = 0;
  virtual bool SetValue(int index, CefRefPtr<CefV8Value> value) = 0;
  virtual bool GetKeys(std::vector<CefString>& keys) = 0;
  virtual int GetArrayLength() = 0;
  // Functions: the name (the one given to CreateFunction for native
  // ones) and the handler (null for script functions).
  virtual CefString GetFunctionName() = 0;
  virtual CefRefPtr<CefV8Handler> GetFunctionHandler() = 0;
  // Functions: calls the function with `object` as `this` (none when
  // null). Null when the call threw or the value is no function.
  virtual CefRefPtr<CefV8Value> ExecuteFunction(CefRefPtr<CefV8Value> object,
                                                const CefV8ValueList& arguments) = 0;
  virtual CefRefPtr<CefV8Value> ExecuteFunctionWithContext(CefRefPtr<CefV8Context> context,
                                                           CefRefPtr<CefV8Value> object,
                                                           const CefV8ValueList& arguments) = 0;
};

// Native properties of an object created with an accessor.
class CefV8Accessor : public virtual CefBaseRefCounted {
 public:
  virtual bool Get(const CefString& name,
                   const CefRefPtr<CefV8Value> object,
                   CefRefPtr<CefV8Value>& retval,
                   CefString& exception) = 0;
  virtual bool Set(const CefString& name,
                   const CefRefPtr<CefV8Value> object,
                   const CefRefPtr<CefV8Value> value,
                   CefString& exception) = 0;
};

// An exception thrown by page script.
class CefV8Exception : public virtual CefBaseRefCounted {
 public:
  virtual CefString GetMessage() = 0;
  virtual CefString GetSourceLine() = 0;
  virtual CefString GetScriptResourceName() = 0;
  virtual int GetLineNumber() = 0;
  virtual int GetStartPosition() = 0;
  virtual int GetEndPosition() = 0;
  virtual int GetStartColumn() = 0;
  virtual int GetEndColumn() = 0;
};

class CefV8StackTrace : public virtual CefBaseRefCounted {
 public:
  virtual int GetFrameCount() = 0;
};

// Registers script that runs in every page context of the renderer, with
// `handler` answering its "native function" declarations. Only on the
// renderer's main thread, from CefRenderProcessHandler::OnWebKitInitialized.
bool CefRegisterExtension(const CefString& extension_name,
                          const CefString& javascript_code,
                          CefRefPtr<CefV8Handler> handler);
