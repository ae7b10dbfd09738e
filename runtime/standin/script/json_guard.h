#pragma once

#include <quickjs.h>

// The engine's JSON.stringify recurses into nested values without looking
// at the stack, so a page could crash the renderer with a deeply nested
// array. The guard puts a stringify in its place that passes a replacer
// function checking the stack (an identity one when the page gave none),
// which makes the deep case throw a RangeError. Property-list replacers
// (arrays) are passed on as they are.
namespace cef_standin::script {

void GuardJsonStringify(JSContext* ctx);

}  // namespace cef_standin::script
