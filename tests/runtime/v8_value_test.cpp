#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/include/cef_v8.h"
#include "tests/runtime/renderer_test_support.h"

namespace {

using renderer_test::LambdaHandler;
using renderer_test::RendererTest;

std::vector<std::wstring> Keys(const CefRefPtr<CefV8Value>& object) {
  std::vector<CefString> keys;
  object->GetKeys(keys);
  return std::vector<std::wstring>(keys.begin(), keys.end());
}

using V8ValueTest = RendererTest;

TEST_F(V8ValueTest, ObjectsNeedAnEnteredContext) {
  ASSERT_TRUE(StandinProbe::RunOnRenderer([] {
    EXPECT_FALSE(CefV8Value::CreateObject(nullptr));
    EXPECT_FALSE(CefV8Value::CreateArray(1));
    EXPECT_TRUE(CefV8Value::CreateInt(1)) << "primitives stand alone";
  }));
  EXPECT_FALSE(CefV8Value::CreateObject(nullptr)) << "nor off the renderer thread";
}

TEST_F(V8ValueTest, PropertiesKeepTheirOrderAndReadOnlyOnesStay) {
  InPage([](CefRefPtr<CefV8Context>) {
    CefRefPtr<CefV8Value> object = CefV8Value::CreateObject(nullptr);
    ASSERT_TRUE(object);
    EXPECT_TRUE(object->IsObject());
    EXPECT_FALSE(object->IsArray());
    EXPECT_FALSE(object->IsFunction());
    EXPECT_TRUE(object->SetValue(L"b", CefV8Value::CreateInt(1), V8_PROPERTY_ATTRIBUTE_NONE));
    EXPECT_TRUE(
        object->SetValue(L"a", CefV8Value::CreateString(L"x"), V8_PROPERTY_ATTRIBUTE_READONLY));
    EXPECT_TRUE(
        object->SetValue(L"hidden", CefV8Value::CreateNull(), V8_PROPERTY_ATTRIBUTE_DONTENUM));
    EXPECT_TRUE(object->SetValue(L"b", CefV8Value::CreateInt(2), V8_PROPERTY_ATTRIBUTE_NONE));
    EXPECT_EQ(Keys(object), (std::vector<std::wstring>{L"b", L"a"}))
        << "a replaced property keeps its place; hidden ones are not listed";

    EXPECT_EQ(object->GetValue(L"b")->GetIntValue(), 2);
    EXPECT_FALSE(object->SetValue(L"a", CefV8Value::CreateInt(3), V8_PROPERTY_ATTRIBUTE_NONE));
    EXPECT_EQ(object->GetValue(L"a")->GetStringValue().ToWString(), L"x");
    EXPECT_TRUE(object->HasValue(L"hidden"));
    EXPECT_FALSE(object->HasValue(L"missing"));
    ASSERT_TRUE(object->GetValue(L"missing"));
    EXPECT_TRUE(object->GetValue(L"missing")->IsUndefined()) << "as a script reads it";
    EXPECT_FALSE(object->SetValue(L"c", nullptr, V8_PROPERTY_ATTRIBUTE_NONE));

    // Integer keys of plain objects are property names, listed first.
    EXPECT_TRUE(object->SetValue(7, CefV8Value::CreateBool(true)));
    EXPECT_TRUE(object->SetValue(L"3", CefV8Value::CreateInt(3), V8_PROPERTY_ATTRIBUTE_NONE));
    EXPECT_TRUE(object->GetValue(L"7")->GetBoolValue());
    EXPECT_EQ(Keys(object), (std::vector<std::wstring>{L"3", L"7", L"b", L"a"}));
    EXPECT_EQ(object->GetArrayLength(), 0);

    // Primitives have no properties.
    CefRefPtr<CefV8Value> number = CefV8Value::CreateInt(4);
    EXPECT_FALSE(number->IsObject());
    EXPECT_FALSE(number->SetValue(L"a", CefV8Value::CreateInt(1), V8_PROPERTY_ATTRIBUTE_NONE));
    EXPECT_FALSE(number->GetValue(L"a"));
  });
}

TEST_F(V8ValueTest, ArraysGrowAndReadHolesAsUndefined) {
  InPage([](CefRefPtr<CefV8Context>) {
    CefRefPtr<CefV8Value> array = CefV8Value::CreateArray(2);
    ASSERT_TRUE(array);
    EXPECT_TRUE(array->IsArray());
    EXPECT_TRUE(array->IsObject());
    EXPECT_EQ(array->GetArrayLength(), 2);
    ASSERT_TRUE(array->GetValue(0));
    EXPECT_TRUE(array->GetValue(0)->IsUndefined()) << "a hole";
    EXPECT_FALSE(array->HasValue(L"0"));
    EXPECT_TRUE(array->GetValue(2)->IsUndefined()) << "beyond the end";

    EXPECT_TRUE(array->SetValue(4, CefV8Value::CreateString(L"e")));
    EXPECT_EQ(array->GetArrayLength(), 5);
    EXPECT_TRUE(array->SetValue(L"1", CefV8Value::CreateInt(1), V8_PROPERTY_ATTRIBUTE_NONE))
        << "an index given as a name is an element";
    EXPECT_EQ(array->GetValue(1)->GetIntValue(), 1);
    EXPECT_EQ(array->GetValue(L"4")->GetStringValue().ToWString(), L"e");
    EXPECT_TRUE(array->SetValue(L"01", CefV8Value::CreateInt(9), V8_PROPERTY_ATTRIBUTE_NONE));
    EXPECT_EQ(array->GetArrayLength(), 5) << "\"01\" is a name, no index";
    EXPECT_EQ(Keys(array), (std::vector<std::wstring>{L"1", L"4", L"01"}));

    EXPECT_FALSE(array->SetValue(-1, CefV8Value::CreateInt(1)));
    EXPECT_FALSE(CefV8Value::CreateArray(-1));
  });
}

TEST_F(V8ValueTest, FunctionCallsFollowTheHandlersAnswer) {
  InPage([](CefRefPtr<CefV8Context> context) {
    std::vector<std::wstring> calls;
    CefRefPtr<CefV8Value> seen_this;
    CefRefPtr<CefV8Handler> handler = new LambdaHandler(
        [&](const CefString& name, CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments,
            CefRefPtr<CefV8Value>& retval, CefString& exception) {
          calls.push_back(name.ToWString());
          seen_this = object;
          const std::wstring mode = arguments.empty() ? L"" : arguments[0]->GetStringValue();
          if (mode == L"throw") {
            exception = L"Error: thrown";
            return true;
          }
          if (mode == L"unhandled") {
            exception = L"ignored";
            retval = CefV8Value::CreateInt(5);
            return false;
          }
          if (mode == L"value")
            retval = CefV8Value::CreateInt(static_cast<int32>(arguments.size()));
          return true;
        });
    CefRefPtr<CefV8Value> function = CefV8Value::CreateFunction(L"probe", handler);
    ASSERT_TRUE(function);
    EXPECT_TRUE(function->IsFunction());
    EXPECT_TRUE(function->IsObject());
    EXPECT_EQ(function->GetFunctionName().ToWString(), L"probe");
    EXPECT_EQ(function->GetFunctionHandler().get(), handler.get());

    CefRefPtr<CefV8Value> receiver = CefV8Value::CreateObject(nullptr);
    CefRefPtr<CefV8Value> result = function->ExecuteFunction(
        receiver, {CefV8Value::CreateString(L"value"), CefV8Value::CreateNull()});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->GetIntValue(), 2);
    EXPECT_TRUE(seen_this->IsSame(receiver));

    result = function->ExecuteFunction(nullptr, {CefV8Value::CreateString(L"none")});
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->IsUndefined()) << "handled without a value";
    EXPECT_TRUE(seen_this->IsSame(context->GetGlobal())) << "no object: the global is this";

    EXPECT_FALSE(function->ExecuteFunction(nullptr, {CefV8Value::CreateString(L"throw")}))
        << "a handled exception throws";
    result = function->ExecuteFunction(nullptr, {CefV8Value::CreateString(L"unhandled")});
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->IsUndefined()) << "an unhandled call ignores value and exception";
    EXPECT_EQ(calls.size(), 4u);

    EXPECT_FALSE(CefV8Value::CreateInt(1)->ExecuteFunction(nullptr, {}));
    EXPECT_FALSE(CefV8Value::CreateFunction(L"none", nullptr)) << "a function needs a handler";
  });
}

TEST_F(V8ValueTest, EndlessNativeRecursionEndsInAThrow) {
  InPage([](CefRefPtr<CefV8Context>) {
    int depth = 0;
    CefRefPtr<CefV8Value> function;
    function = CefV8Value::CreateFunction(
        L"again",
        new LambdaHandler([&](const CefString&, CefRefPtr<CefV8Value>, const CefV8ValueList&,
                              CefRefPtr<CefV8Value>& retval, CefString& exception) {
          ++depth;
          retval = function->ExecuteFunction(nullptr, {});
          if (!retval)
            exception = L"RangeError";
          return true;
        }));
    EXPECT_FALSE(function->ExecuteFunction(nullptr, {}));
    EXPECT_GT(depth, 10);
    EXPECT_LT(depth, 100000);
    // The depth is counted down again: an ordinary call works afterwards.
    depth = 0;
    CefRefPtr<CefV8Value> plain = CefV8Value::CreateFunction(
        L"plain",
        new LambdaHandler([](const CefString&, CefRefPtr<CefV8Value>, const CefV8ValueList&,
                             CefRefPtr<CefV8Value>& retval, CefString&) {
          retval = CefV8Value::CreateBool(true);
          return true;
        }));
    ASSERT_TRUE(plain->ExecuteFunction(nullptr, {}));
    function = nullptr;
  });
}

TEST_F(V8ValueTest, CallWithContextEntersItForTheCall) {
  ASSERT_TRUE(probe_.CreateRendererBrowser(3, 1));
  CefRefPtr<CefBrowser> browser = probe_.RendererBrowser(3);
  ASSERT_TRUE(browser);
  std::vector<int64> frames;
  browser->GetFrameIdentifiers(frames);
  ASSERT_EQ(frames.size(), 2u);
  ASSERT_TRUE(StandinProbe::RunOnRenderer([&] {
    CefRefPtr<CefV8Context> main_context = browser->GetMainFrame()->GetV8Context();
    CefRefPtr<CefV8Context> child_context = browser->GetFrame(frames[1])->GetV8Context();
    CefRefPtr<CefV8Context> during_call;
    ASSERT_TRUE(main_context->Enter());
    CefRefPtr<CefV8Value> function = CefV8Value::CreateFunction(
        L"where", new LambdaHandler([&](const CefString&, CefRefPtr<CefV8Value>,
                                        const CefV8ValueList&, CefRefPtr<CefV8Value>&, CefString&) {
          during_call = CefV8Context::GetCurrentContext();
          return true;
        }));
    ASSERT_TRUE(main_context->Exit());
    ASSERT_FALSE(CefV8Context::InContext());

    ASSERT_TRUE(function->ExecuteFunctionWithContext(child_context, nullptr, {}));
    ASSERT_TRUE(during_call);
    EXPECT_TRUE(during_call->IsSame(child_context));
    EXPECT_FALSE(CefV8Context::InContext()) << "left again after the call";
    EXPECT_FALSE(function->ExecuteFunctionWithContext(nullptr, nullptr, {}));
  }));
}

}  // namespace
