#include "runtime/standin/script/bindings.h"

#include <cmath>
#include <optional>
#include <vector>

#include "runtime/standin/script/js_strings.h"
#include "runtime/standin/script/page_script.h"
#include "runtime/standin/script/script_engine.h"

namespace cef_standin::script {

namespace {

// The source name of the bindings' own script, skipped when a console
// message looks for the page's line.
constexpr char kPreludeName[] = "<page bindings>";

// What the prelude builds on: natives of the page host, in one hidden
// object that the prelude takes and then deletes from the global.
enum Native {
  kNavigate,
  kReload,
  kHistoryGo,
  kHistoryLength,
  kOpen,
  kAlert,
  kConfirm,
  kPrompt,
  kConsole,
  kUserAgent,
  kUrl,
  kResolve,
  kSetTimer,
  kClearTimer,
  kRequestQuota,
  kAddWindowListener,
  kRemoveWindowListener,
  kSetWindowHandler,
  kGetWindowHandler,
};

// The prelude: the page's objects, made of the natives. Plain script so
// that they behave as script objects do (enumeration, toString).
constexpr char kPrelude[] = R"JS(
(function (n) {
  'use strict';
  var g = globalThis;
  function hide(name, value) {
    Object.defineProperty(g, name, {value: value, writable: true, configurable: true});
  }
  hide('window', g);
  hide('self', g);
  Object.defineProperty(g, '__cef_make_event__', {value: function (type, target, bubbles, cancelable) {
    return {
      type: type, target: target, currentTarget: target, bubbles: bubbles,
      cancelable: cancelable, defaultPrevented: false, eventPhase: 0, timeStamp: Date.now(),
      __stop: false, __stopImmediate: false,
      preventDefault: function () { if (this.cancelable) this.defaultPrevented = true; },
      stopPropagation: function () { this.__stop = true; },
      stopImmediatePropagation: function () { this.__stop = true; this.__stopImmediate = true; }
    };
  }});

  function text(args) {
    var parts = [];
    for (var i = 0; i < args.length; i++) {
      var a = args[i];
      if (typeof a === 'object' && a !== null && !(a instanceof Error)) {
        try { parts.push(JSON.stringify(a)); } catch (e) { parts.push(String(a)); }
      } else {
        parts.push(String(a));
      }
    }
    return parts.join(' ');
  }
  function logger(level) {
    return function () { n.console(level, text(arguments), new Error().stack); };
  }
  var console = {log: logger(0), info: logger(1), warn: logger(2), error: logger(3),
                 debug: logger(0)};
  hide('console', console);

  function timer(repeat) {
    return function (callback, delay) {
      var rest = Array.prototype.slice.call(arguments, 2);
      return n.setTimer(callback, Number(delay) || 0, repeat, rest);
    };
  }
  hide('setTimeout', timer(false));
  hide('setInterval', timer(true));
  hide('clearTimeout', function (id) { n.clearTimer(id); });
  hide('clearInterval', function (id) { n.clearTimer(id); });

  hide('alert', function (message) { n.alert(message === undefined ? '' : String(message)); });
  hide('confirm', function (message) { return n.confirm(message === undefined ? '' : String(message)); });
  hide('prompt', function (message, value) {
    return n.prompt(message === undefined ? '' : String(message),
                    value === undefined ? '' : String(value));
  });
  hide('open', function (url, target) {
    var opened = n.open(url === undefined ? '' : String(url),
                        target === undefined ? '_blank' : String(target));
    return opened ? {closed: false, close: function () {}, focus: function () {}} : null;
  });

  var parts = /^([a-zA-Z][a-zA-Z0-9+.-]*:)(?:\/\/([^\/?#]*))?([^?#]*)(\?[^#]*)?(#.*)?$/;
  function part(index) {
    var m = parts.exec(n.url());
    return m && m[index] ? m[index] : '';
  }
  function host() { return part(2).replace(/^[^@]*@/, ''); }
  var location = {};
  var locationParts = {
    protocol: function () { return part(1); },
    host: host,
    hostname: function () { return host().replace(/:\d*$/, ''); },
    port: function () { var m = /:(\d*)$/.exec(host()); return m ? m[1] : ''; },
    pathname: function () { return part(3) || (part(2) ? '/' : ''); },
    search: function () { return part(4).length > 1 ? part(4) : ''; },
    hash: function () { return part(5).length > 1 ? part(5) : ''; },
    origin: function () { return part(2) ? part(1) + '//' + host() : 'null'; }
  };
  Object.keys(locationParts).forEach(function (name) {
    Object.defineProperty(location, name, {get: locationParts[name], enumerable: true,
                                           configurable: true});
  });
  Object.defineProperty(location, 'hash', {
    get: locationParts.hash, enumerable: true,
    set: function (value) {
      var h = String(value);
      n.navigate(n.url().replace(/#.*$/, '') + (h.charAt(0) === '#' ? h : '#' + h), false);
    }
  });
  Object.defineProperty(location, 'href', {
    get: function () { return n.url(); }, enumerable: true,
    set: function (value) { n.navigate(n.resolve(String(value)), false); }
  });
  location.assign = function (url) { n.navigate(n.resolve(String(url)), false); };
  location.replace = function (url) { n.navigate(n.resolve(String(url)), true); };
  location.reload = function () { n.reload(); };
  location.toString = function () { return n.url(); };
  Object.defineProperty(g, 'location', {
    get: function () { return location; },
    set: function (value) { location.href = value; },
    configurable: true
  });

  var history = {
    back: function () { n.historyGo(-1); },
    forward: function () { n.historyGo(1); },
    go: function (offset) { n.historyGo(Number(offset) || 0); }
  };
  Object.defineProperty(history, 'length', {get: function () { return n.historyLength(); }});
  hide('history', history);

  var storage = {
    requestQuota: function (bytes, granted, failed) {
      n.requestQuota(Number(bytes) || 0, granted, failed);
    },
    queryUsageAndQuota: function (done) {
      if (typeof done === 'function') setTimeout(function () { done(0, 0); }, 0);
    }
  };
  var navigator = {webkitPersistentStorage: storage, language: 'en-US', languages: ['en-US'],
                   cookieEnabled: true, onLine: true, platform: 'Win32'};
  Object.defineProperty(navigator, 'userAgent', {get: function () { return n.userAgent(); },
                                                 enumerable: true});
  hide('navigator', navigator);

  hide('addEventListener', function (type, listener, options) {
    n.addWindowListener(String(type), listener, options === true || !!(options && options.capture));
  });
  hide('removeEventListener', function (type, listener, options) {
    n.removeWindowListener(String(type), listener, options === true || !!(options && options.capture));
  });
  ['load', 'click', 'input', 'change', 'submit'].forEach(function (type) {
    Object.defineProperty(g, 'on' + type, {
      get: function () { return n.getWindowHandler(type); },
      set: function (value) { n.setWindowHandler(type, value); },
      configurable: true
    });
  });
})
)JS";

PageScript* Script(JSContext* ctx) {
  return PageScript::FromJs(ctx);
}

// The page's innermost line in a stack text, skipping the bindings' own.
void PlaceOf(const std::wstring& stack, std::wstring* source, int* line) {
  size_t start = 0;
  while (start < stack.size()) {
    size_t end = stack.find(L'\n', start);
    if (end == std::wstring::npos)
      end = stack.size();
    const std::wstring frame = stack.substr(start, end - start);
    start = end + 1;
    const size_t open = frame.rfind(L'(');
    const size_t colon = frame.rfind(L':');
    if (open == std::wstring::npos || colon == std::wstring::npos || colon < open)
      continue;
    const std::wstring name = frame.substr(open + 1, colon - open - 1);
    if (name == FromUtf8(kPreludeName))
      continue;
    *source = name;
    *line = 0;
    for (size_t i = colon + 1; i < frame.size() && frame[i] >= L'0' && frame[i] <= L'9'; ++i)
      *line = *line < 100000000 ? *line * 10 + (frame[i] - L'0') : *line;
    return;
  }
}

std::wstring ArgText(JSContext* ctx, int argc, JSValueConst* argv, int index) {
  return index < argc ? JsToWString(ctx, argv[index]) : std::wstring();
}

JSValue CallNative(JSContext* ctx, JSValueConst, int argc, JSValueConst* argv, int magic) {
  PageScript* script = Script(ctx);
  if (!script)
    return JS_UNDEFINED;
  PageHost* host = script->host();
  switch (static_cast<Native>(magic)) {
    case kNavigate: {
      NavigationRequest request;
      request.url = ArgText(ctx, argc, argv, 0);
      request.history =
          argc > 1 && JS_ToBool(ctx, argv[1]) > 0 ? HistoryEntry::kReplace : HistoryEntry::kAdd;
      request.gesture = script->gesture();
      host->Navigate(request);
      return JS_UNDEFINED;
    }
    case kReload:
      host->Reload();
      return JS_UNDEFINED;
    case kHistoryGo: {
      int32_t offset = 0;
      if (argc > 0)
        JS_ToInt32(ctx, &offset, argv[0]);
      host->GoHistory(offset);
      return JS_UNDEFINED;
    }
    case kHistoryLength:
      return JS_NewInt32(ctx, host->HistoryLength());
    case kOpen: {
      PopupRequest request;
      const std::wstring url = ArgText(ctx, argc, argv, 0);
      request.url = url.empty() ? url : FromUtf8(script->document()->ResolveUrl(ToUtf8(url)));
      request.target = ArgText(ctx, argc, argv, 1);
      request.gesture = script->gesture();
      return JS_NewBool(ctx, host->OpenPopup(request));
    }
    case kAlert:
      host->Alert(ArgText(ctx, argc, argv, 0));
      return JS_UNDEFINED;
    case kConfirm:
      return JS_NewBool(ctx, host->Confirm(ArgText(ctx, argc, argv, 0)));
    case kPrompt: {
      const std::optional<std::wstring> answer =
          host->Prompt(ArgText(ctx, argc, argv, 0), ArgText(ctx, argc, argv, 1));
      return answer ? NewJsString(ctx, *answer) : JS_NULL;
    }
    case kConsole: {
      int32_t level = 0;
      if (argc > 0)
        JS_ToInt32(ctx, &level, argv[0]);
      ConsoleMessage message;
      message.level = level == 1   ? ConsoleLevel::kInfo
                      : level == 2 ? ConsoleLevel::kWarning
                      : level == 3 ? ConsoleLevel::kError
                                   : ConsoleLevel::kLog;
      message.text = ArgText(ctx, argc, argv, 1);
      PlaceOf(ArgText(ctx, argc, argv, 2), &message.source, &message.line);
      host->AddConsoleMessage(message);
      return JS_UNDEFINED;
    }
    case kUserAgent:
      return NewJsString(ctx, host->UserAgent());
    case kUrl:
      return NewUtf8String(ctx, script->document()->url());
    case kResolve:
      return NewUtf8String(ctx, script->document()->ResolveUrl(ArgUtf8(ctx, argc, argv, 0)));
    case kSetTimer: {
      if (argc < 4)
        return JS_NewInt32(ctx, 0);
      double delay = 0;
      JS_ToFloat64(ctx, &delay, argv[1]);
      if (!std::isfinite(delay) || delay < 0)
        delay = 0;
      std::vector<JSValue> arguments;
      uint32_t count = 0;
      JSValue length = JS_GetPropertyStr(ctx, argv[3], "length");
      JS_ToUint32(ctx, &count, length);
      JS_FreeValue(ctx, length);
      for (uint32_t i = 0; i < count && i < 64; ++i)
        arguments.push_back(JS_GetPropertyUint32(ctx, argv[3], i));
      // A string is kept as it is; anything else that is no function is
      // code too, as its text.
      JSValue callback =
          JS_IsFunction(ctx, argv[0]) ? JS_DupValue(ctx, argv[0]) : JS_ToString(ctx, argv[0]);
      const int id = script->AddTimer(callback, std::move(arguments),
                                      static_cast<int64_t>(std::min(delay, 2147483647.0)),
                                      JS_ToBool(ctx, argv[2]) > 0);
      JS_FreeValue(ctx, callback);
      return JS_NewInt32(ctx, id);
    }
    case kClearTimer: {
      int32_t id = 0;
      if (argc > 0 && JS_ToInt32(ctx, &id, argv[0]) == 0)
        script->ClearTimer(id);
      return JS_UNDEFINED;
    }
    case kRequestQuota: {
      double bytes = 0;
      if (argc > 0)
        JS_ToFloat64(ctx, &bytes, argv[0]);
      if (!std::isfinite(bytes) || bytes < 0)
        bytes = 0;
      script->RequestQuota(static_cast<int64_t>(std::min(bytes, 9.0e15)),
                           argc > 1 ? argv[1] : JS_UNDEFINED, argc > 2 ? argv[2] : JS_UNDEFINED);
      return JS_UNDEFINED;
    }
    case kAddWindowListener:
    case kRemoveWindowListener: {
      if (argc < 3)
        return JS_UNDEFINED;
      const std::string type = ArgUtf8(ctx, argc, argv, 0);
      const bool capture = JS_ToBool(ctx, argv[2]) > 0;
      if (magic == kAddWindowListener)
        script->AddListener(script->window_key(), type, argv[1], capture);
      else
        script->RemoveListener(script->window_key(), type, argv[1], capture);
      return JS_UNDEFINED;
    }
    case kSetWindowHandler:
      if (argc > 1)
        script->SetHandlerProperty(script->window_key(), ArgUtf8(ctx, argc, argv, 0), argv[1]);
      return JS_UNDEFINED;
    case kGetWindowHandler:
      return script->GetHandlerProperty(script->window_key(), ArgUtf8(ctx, argc, argv, 0));
  }
  return JS_UNDEFINED;
}

}  // namespace

void DefineFunction(JSContext* ctx,
                    JSValueConst object,
                    const char* name,
                    BindingFunction function,
                    int length,
                    int magic) {
  JSValue value = JS_NewCFunctionMagic(ctx, function, name, length, JS_CFUNC_generic_magic, magic);
  JS_DefinePropertyValueStr(ctx, object, name, value, JS_PROP_WRITABLE | JS_PROP_CONFIGURABLE);
}

void DefineAccessor(JSContext* ctx,
                    JSValueConst object,
                    const char* name,
                    BindingFunction getter,
                    BindingFunction setter,
                    int magic) {
  JSValue get = JS_NewCFunctionMagic(ctx, getter, name, 0, JS_CFUNC_generic_magic, magic);
  JSValue set = setter ? JS_NewCFunctionMagic(ctx, setter, name, 1, JS_CFUNC_generic_magic, magic)
                       : JS_UNDEFINED;
  JSAtom atom = JS_NewAtom(ctx, name);
  JS_DefinePropertyGetSet(ctx, object, atom, get, set, JS_PROP_CONFIGURABLE | JS_PROP_ENUMERABLE);
  JS_FreeAtom(ctx, atom);
}

std::string ArgUtf8(JSContext* ctx, int argc, JSValueConst* argv, int index) {
  if (index >= argc)
    return std::string();
  size_t length = 0;
  const char* text = JS_ToCStringLen(ctx, &length, argv[index]);
  if (!text) {
    JS_FreeValue(ctx, JS_GetException(ctx));
    return std::string();
  }
  std::string result(text, length);
  JS_FreeCString(ctx, text);
  return result;
}

JSValue NewUtf8String(JSContext* ctx, const std::string& text) {
  return JS_NewStringLen(ctx, text.data(), text.size());
}

void InstallWindowBindings(JSContext* ctx, JSValueConst /*global*/) {
  static constexpr std::pair<const char*, Native> kNatives[] = {
      {"navigate", kNavigate},
      {"reload", kReload},
      {"historyGo", kHistoryGo},
      {"historyLength", kHistoryLength},
      {"open", kOpen},
      {"alert", kAlert},
      {"confirm", kConfirm},
      {"prompt", kPrompt},
      {"console", kConsole},
      {"userAgent", kUserAgent},
      {"url", kUrl},
      {"resolve", kResolve},
      {"setTimer", kSetTimer},
      {"clearTimer", kClearTimer},
      {"requestQuota", kRequestQuota},
      {"addWindowListener", kAddWindowListener},
      {"removeWindowListener", kRemoveWindowListener},
      {"setWindowHandler", kSetWindowHandler},
      {"getWindowHandler", kGetWindowHandler},
  };
  JSValue natives = JS_NewObject(ctx);
  for (const auto& [name, native] : kNatives)
    DefineFunction(ctx, natives, name, &CallNative, 0, native);
  ScriptScope scope(ScriptEngine::OfRuntime(JS_GetRuntime(ctx)));
  JSValue install = JS_Eval(ctx, kPrelude, sizeof(kPrelude) - 1, kPreludeName, JS_EVAL_TYPE_GLOBAL);
  if (JS_IsException(install)) {
    V8ContextImpl::FromJs(ctx)->TakeException();
    JS_FreeValue(ctx, natives);
    return;
  }
  JSValue done = JS_Call(ctx, install, JS_UNDEFINED, 1, &natives);
  if (JS_IsException(done))
    V8ContextImpl::FromJs(ctx)->TakeException();
  JS_FreeValue(ctx, done);
  JS_FreeValue(ctx, install);
  JS_FreeValue(ctx, natives);
}

}  // namespace cef_standin::script
