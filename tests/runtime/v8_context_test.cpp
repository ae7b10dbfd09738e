#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/include/cef_v8.h"
#include "tests/runtime/renderer_test_support.h"

namespace {

using renderer_test::RendererTest;

using V8ContextTest = RendererTest;

// Notes its own end.
class MortalHandler : public CefV8Handler {
 public:
  explicit MortalHandler(bool* destroyed) : destroyed_(destroyed) {}
  ~MortalHandler() override { *destroyed_ = true; }
  bool Execute(const CefString&,
               CefRefPtr<CefV8Value>,
               const CefV8ValueList&,
               CefRefPtr<CefV8Value>&,
               CefString&) override {
    return false;
  }

 private:
  bool* destroyed_;
  IMPLEMENT_REFCOUNTING(MortalHandler);
};

TEST_F(V8ContextTest, EnteredContextsNestAndExitInOrder) {
  ASSERT_TRUE(probe_.CreateRendererBrowser(1, 1));
  CefRefPtr<CefBrowser> browser = probe_.RendererBrowser(1);
  ASSERT_TRUE(browser);
  std::vector<int64> frames;
  browser->GetFrameIdentifiers(frames);
  ASSERT_EQ(frames.size(), 2u);

  ASSERT_TRUE(StandinProbe::RunOnRenderer([&] {
    CefRefPtr<CefV8Context> outer = browser->GetMainFrame()->GetV8Context();
    CefRefPtr<CefV8Context> inner = browser->GetFrame(frames[1])->GetV8Context();
    ASSERT_TRUE(outer && inner);
    EXPECT_FALSE(outer->IsSame(inner));
    EXPECT_TRUE(outer->GetFrame()->IsMain());
    EXPECT_EQ(inner->GetFrame()->GetIdentifier(), frames[1]);
    EXPECT_EQ(inner->GetBrowser()->GetIdentifier(), 1);

    EXPECT_FALSE(CefV8Context::InContext());
    EXPECT_FALSE(CefV8Context::GetCurrentContext());
    EXPECT_FALSE(CefV8Context::GetEnteredContext());
    ASSERT_TRUE(outer->Enter());
    ASSERT_TRUE(inner->Enter());
    EXPECT_TRUE(CefV8Context::GetCurrentContext()->IsSame(inner));
    EXPECT_TRUE(CefV8Context::GetEnteredContext()->IsSame(inner));
    EXPECT_FALSE(outer->Exit()) << "only the innermost context leaves";
    EXPECT_TRUE(inner->Exit());
    EXPECT_TRUE(CefV8Context::GetCurrentContext()->IsSame(outer));
    // The same context may be entered again inside itself.
    ASSERT_TRUE(outer->Enter());
    EXPECT_TRUE(outer->Exit());
    EXPECT_TRUE(CefV8Context::InContext());
    EXPECT_TRUE(outer->Exit());
    EXPECT_FALSE(CefV8Context::InContext());
    EXPECT_FALSE(outer->Exit()) << "more exits than enters";
  }));
  // Other threads never see the renderer's contexts.
  EXPECT_FALSE(CefV8Context::InContext());
  CefRefPtr<CefV8Context> main_context = browser->GetMainFrame()->GetV8Context();
  ASSERT_TRUE(main_context);
  EXPECT_FALSE(main_context->Enter());
}

TEST_F(V8ContextTest, GlobalHoldsOnlyAHiddenJsonObject) {
  ASSERT_TRUE(probe_.CreateRendererBrowser(1));
  InPage(1, [](CefRefPtr<CefV8Context> context) {
    CefRefPtr<CefV8Value> global = context->GetGlobal();
    ASSERT_TRUE(global);
    EXPECT_TRUE(global->IsSame(context->GetGlobal()));
    std::vector<CefString> keys;
    global->GetKeys(keys);
    EXPECT_TRUE(keys.empty());
    CefRefPtr<CefV8Value> json = global->GetValue(L"JSON");
    ASSERT_TRUE(json && json->IsObject());
    EXPECT_TRUE(json->GetValue(L"parse")->IsFunction());
    EXPECT_EQ(json->GetValue(L"stringify")->GetFunctionName().ToWString(), L"stringify");
  });
}

TEST_F(V8ContextTest, ReloadGivesANewContextAndInvalidatesTheOldOnesObjects) {
  ASSERT_TRUE(probe_.CreateRendererBrowser(1));
  CefRefPtr<CefBrowser> browser = probe_.RendererBrowser(1);
  ASSERT_TRUE(browser);
  const int64 main_frame = browser->GetMainFrame()->GetIdentifier();
  CefRefPtr<CefV8Context> old_context;
  CefRefPtr<CefV8Value> old_object;
  CefRefPtr<CefV8Value> old_function;
  bool handler_destroyed = false;
  InPage(1, [&](CefRefPtr<CefV8Context> context) {
    // Reachable from the global only, through a cycle of two objects.
    CefRefPtr<CefV8Value> a = CefV8Value::CreateObject(nullptr);
    CefRefPtr<CefV8Value> b = CefV8Value::CreateObject(nullptr);
    a->SetValue(L"b", b, V8_PROPERTY_ATTRIBUTE_NONE);
    b->SetValue(L"a", a, V8_PROPERTY_ATTRIBUTE_NONE);
    b->SetValue(L"f", CefV8Value::CreateFunction(L"f", new MortalHandler(&handler_destroyed)),
                V8_PROPERTY_ATTRIBUTE_NONE);
    context->GetGlobal()->SetValue(L"a", a, V8_PROPERTY_ATTRIBUTE_NONE);
    old_context = context;
    old_object = CefV8Value::CreateObject(nullptr);
    // A cycle through the global: only the context's release can end it.
    old_object->SetValue(L"global", context->GetGlobal(), V8_PROPERTY_ATTRIBUTE_NONE);
    context->GetGlobal()->SetValue(L"kept", old_object, V8_PROPERTY_ATTRIBUTE_NONE);
    old_function = context->GetGlobal()->GetValue(L"JSON")->GetValue(L"parse");
  });
  app_->TakeEvents();

  EXPECT_FALSE(handler_destroyed);
  ASSERT_TRUE(probe_.ReloadFrame(1, main_frame));
  EXPECT_TRUE(handler_destroyed) << "the page's objects are let go with it, cycles too";
  EXPECT_EQ(app_->TakeEvents(),
            (std::vector<std::wstring>{L"context released main (entered) on frame",
                                       L"context created main (entered)"}));
  ASSERT_TRUE(StandinProbe::RunOnRenderer([&] {
    CefRefPtr<CefV8Context> new_context = browser->GetMainFrame()->GetV8Context();
    ASSERT_TRUE(new_context);
    EXPECT_FALSE(new_context->IsSame(old_context));
    EXPECT_TRUE(new_context->IsValid());
    EXPECT_FALSE(new_context->GetGlobal()->HasValue(L"kept"));

    EXPECT_FALSE(old_context->IsValid());
    EXPECT_FALSE(old_context->Enter()) << "a released context cannot be entered";
    EXPECT_FALSE(old_context->GetGlobal());
    EXPECT_FALSE(old_object->IsValid());
    EXPECT_FALSE(old_object->GetValue(L"global"));
    EXPECT_FALSE(old_function->ExecuteFunction(nullptr, {CefV8Value::CreateString(L"1")}));
    EXPECT_TRUE(CefV8Value::CreateInt(1)->IsValid()) << "primitives stay valid";
    EXPECT_FALSE(old_function->ExecuteFunctionWithContext(old_context, nullptr, {}));
    // Script values go where they live.
    old_object = nullptr;
    old_function = nullptr;
    old_context = nullptr;
  }));
  EXPECT_FALSE(probe_.ReloadFrame(1, main_frame + 1000));
  EXPECT_FALSE(probe_.ReloadFrame(2, main_frame));
}

}  // namespace

namespace {

using renderer_test::RendererTest;
using V8EvalTest = RendererTest;

struct EvalResult {
  bool done = false;
  std::wstring value;  // a string or number result as text
  std::wstring message;
  std::wstring source;
  int line = 0;
};

EvalResult Eval(CefRefPtr<CefV8Context> context, const std::wstring& code, int start_line = 1) {
  EvalResult result;
  CefRefPtr<CefV8Value> retval;
  CefRefPtr<CefV8Exception> exception;
  result.done = context->Eval(code, L"http://page.test/app.js", start_line, retval, exception);
  if (retval && retval->IsString())
    result.value = retval->GetStringValue().ToWString();
  else if (retval && retval->IsInt())
    result.value = std::to_wstring(retval->GetIntValue());
  if (exception) {
    result.message = exception->GetMessage().ToWString();
    result.source = exception->GetScriptResourceName().ToWString();
    result.line = exception->GetLineNumber();
  }
  return result;
}

TEST_F(V8EvalTest, ErrorsNameTheirScriptAndLine) {
  InPage([](CefRefPtr<CefV8Context> context) {
    EvalResult thrown = Eval(context, L"var a = 1;\nnull.b;", /*start_line=*/10);
    EXPECT_FALSE(thrown.done);
    EXPECT_NE(thrown.message.find(L"TypeError"), std::wstring::npos) << thrown.message;
    EXPECT_EQ(thrown.source, L"http://page.test/app.js");
    EXPECT_EQ(thrown.line, 11);
    EvalResult syntax = Eval(context, L"\n\nvar = ;");
    EXPECT_FALSE(syntax.done);
    EXPECT_NE(syntax.message.find(L"SyntaxError"), std::wstring::npos) << syntax.message;
    EXPECT_EQ(syntax.line, 3);
    EXPECT_EQ(Eval(context, L"'中文'.length + ':' + a").value, L"2:1")
        << "the first script's declarations ran up to the error";
  });
}

TEST_F(V8EvalTest, RunawayScriptsThrowAndThePageGoesOn) {
  InPage([](CefRefPtr<CefV8Context> context) {
    EvalResult recursion = Eval(context, L"function f(n) { return f(n + 1) + 1; } f(0);");
    EXPECT_FALSE(recursion.done);
    EXPECT_FALSE(recursion.message.empty());
    EvalResult memory =
        Eval(context, L"var hog = []; for (;;) hog.push(new Array(1 << 20).fill(1));");
    EXPECT_FALSE(memory.done);
    EXPECT_NE(memory.message.find(L"memory"), std::wstring::npos) << memory.message;
    EXPECT_EQ(Eval(context, L"hog = null; 'alive'").value, L"alive");

    const ULONGLONG start = GetTickCount64();
    EvalResult loop = Eval(context, L"for (;;) {}");
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_FALSE(loop.done);
    EXPECT_NE(loop.message.find(L"interrupted"), std::wstring::npos) << loop.message;
    EXPECT_GE(elapsed, 4000u);
    EXPECT_LT(elapsed, 20000u);
    EXPECT_EQ(Eval(context, L"'still ' + 'running'").value, L"still running")
        << "the next script gets its own time";
  });
}

}  // namespace
