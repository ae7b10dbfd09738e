#pragma once

#include <string>

#include <quickjs.h>

// The page's globals, installed by PageScript, and the small helpers they
// share. Every function reaches its PageScript through the context and
// does nothing (undefined) once the page is detached.
namespace cef_standin::script {

class PageScript;

// window, self, console, timers, location, history, navigator, dialogs,
// window.open, and window's addEventListener.
void InstallWindowBindings(JSContext* ctx, JSValueConst global);
// document and the element and style wrappers.
void InstallDomBindings(JSContext* ctx, JSValueConst global);
// The class of element wrappers, made once per runtime.
JSClassID ElementClass();
bool RegisterDomClasses(JSRuntime* runtime);

using BindingFunction =
    JSValue (*)(JSContext* ctx, JSValueConst this_value, int argc, JSValueConst* argv, int magic);
void DefineFunction(JSContext* ctx,
                    JSValueConst object,
                    const char* name,
                    BindingFunction function,
                    int length,
                    int magic);
// A property whose reads call `getter` and whose writes call `setter`
// (with the value as the one argument); a null setter makes it read-only.
void DefineAccessor(JSContext* ctx,
                    JSValueConst object,
                    const char* name,
                    BindingFunction getter,
                    BindingFunction setter,
                    int magic);
// String(argv[index]) as UTF-8; empty when absent or when that throws.
std::string ArgUtf8(JSContext* ctx, int argc, JSValueConst* argv, int index);
JSValue NewUtf8String(JSContext* ctx, const std::string& text);

}  // namespace cef_standin::script
