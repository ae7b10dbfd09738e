#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "runtime/include/cef_v8.h"
#include "tests/runtime/renderer_test_support.h"

namespace {

using renderer_test::LambdaHandler;
using renderer_test::RendererTest;

// The page's own JSON functions, called as script calls them.
CefRefPtr<CefV8Value> CallJson(const wchar_t* name, const CefV8ValueList& arguments) {
  CefRefPtr<CefV8Value> json = CefV8Context::GetCurrentContext()->GetGlobal()->GetValue(L"JSON");
  if (!json)
    return nullptr;
  CefRefPtr<CefV8Value> function = json->GetValue(name);
  return function ? function->ExecuteFunction(json, arguments) : nullptr;
}

CefRefPtr<CefV8Value> Parse(const std::wstring& text) {
  return CallJson(L"parse", {CefV8Value::CreateString(text)});
}

// The JSON text of `value`; "<threw>" or "<undefined>" when there is none.
std::wstring Stringify(CefRefPtr<CefV8Value> value) {
  CefRefPtr<CefV8Value> result = CallJson(L"stringify", {value});
  if (!result)
    return L"<threw>";
  return result->IsString() ? result->GetStringValue().ToWString() : L"<undefined>";
}

std::wstring Nested(int depth, const wchar_t* open, const wchar_t* close) {
  std::wstring text;
  for (int i = 0; i < depth; ++i)
    text += open;
  for (int i = 0; i < depth; ++i)
    text += close;
  return text;
}

using V8JsonTest = RendererTest;

TEST_F(V8JsonTest, NumbersBecomeIntegersOnlyWhenIntegralAndInRange) {
  InPage([](CefRefPtr<CefV8Context>) {
    struct Case {
      const wchar_t* text;
      bool is_int;
      double value;
    };
    const Case cases[] = {
        {L"2147483647", true, 2147483647.0},
        {L"-2147483648", true, -2147483648.0},
        {L"2147483648", false, 2147483648.0},
        {L"1.0", true, 1},
        {L"1e2", true, 100},
        {L"-0", false, 0},
        {L"0.1", false, 0.1},
        {L"-1.5E-7", false, -1.5e-7},
        {L"1e400", false, HUGE_VAL},
        {L"5e-324", false, 5e-324},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.text);
      CefRefPtr<CefV8Value> value = Parse(c.text);
      ASSERT_TRUE(value);
      EXPECT_EQ(value->IsInt(), c.is_int);
      EXPECT_TRUE(value->IsDouble());
      EXPECT_EQ(value->GetDoubleValue(), c.value);
    }
    EXPECT_TRUE(std::signbit(Parse(L"-0")->GetDoubleValue()));
  });
}

TEST_F(V8JsonTest, InvalidTextThrows) {
  InPage([](CefRefPtr<CefV8Context>) {
    const wchar_t* invalid[] = {
        L"",
        L"  ",
        L"01",
        L".5",
        L"+1",
        L"-",
        L"1e",
        L"[1,]",
        L"{\"a\":1,}",
        L"{'a':1}",
        L"{a:1}",
        L"[1 2]",
        L"1 2",
        L"nul",
        L"truex",
        L"NaN",
        L"Infinity",
        L"\"open",
        L"\"\\x\"",
        L"\"\\u12G4\"",
        L"\"tab\there\"",
        L"\"\\ud83d",
        L"[",
        L"{\"a\"}",
        L"\xFEFF{}",
        L"\x00A0"
        L"1",
    };
    for (const wchar_t* text : invalid)
      EXPECT_FALSE(Parse(text)) << "accepted: " << testing::PrintToString(std::wstring(text));

    EXPECT_FALSE(CallJson(L"parse", {})) << "undefined is no JSON";
    EXPECT_FALSE(CallJson(L"parse", {CefV8Value::CreateObject(nullptr)}));
    // Primitives are read as their text.
    CefRefPtr<CefV8Value> from_int = CallJson(L"parse", {CefV8Value::CreateInt(12)});
    ASSERT_TRUE(from_int);
    EXPECT_EQ(from_int->GetIntValue(), 12);
    ASSERT_TRUE(CallJson(L"parse", {CefV8Value::CreateNull()}));
    EXPECT_TRUE(CallJson(L"parse", {CefV8Value::CreateNull()})->IsNull());
    CefRefPtr<CefV8Value> spaced = Parse(L" \t\r\n[ 1 , \"a\" ] \n");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->GetArrayLength(), 2);
  });
}

TEST_F(V8JsonTest, StringsDecodeEveryEscapeAndKeepLoneSurrogates) {
  InPage([](CefRefPtr<CefV8Context>) {
    CefRefPtr<CefV8Value> value =
        Parse(L"\"q\\\" b\\\\ s\\/ \\b\\f\\n\\r\\t \\u00e9\\u00C9 \\ud83d\\ude00 \\udc00!\"");
    ASSERT_TRUE(value);
    ASSERT_TRUE(value->IsString());
    EXPECT_EQ(value->GetStringValue().ToWString(),
              std::wstring(L"q\" b\\ s/ \b\f\n\r\t \x00e9\x00c9 \xd83d\xde00 \xdc00!"));
  });
}

TEST_F(V8JsonTest, ObjectsKeepTheFirstPlaceAndLastValueOfARepeatedKey) {
  InPage([](CefRefPtr<CefV8Context>) {
    CefRefPtr<CefV8Value> value = Parse(L"{\"b\":1,\"a\":[true,null,{\"c\":\"d\"}],\"b\":2}");
    ASSERT_TRUE(value);
    std::vector<CefString> keys;
    value->GetKeys(keys);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].ToWString(), L"b");
    EXPECT_EQ(keys[1].ToWString(), L"a");
    EXPECT_EQ(value->GetValue(L"b")->GetIntValue(), 2);
    CefRefPtr<CefV8Value> array = value->GetValue(L"a");
    ASSERT_TRUE(array && array->IsArray());
    ASSERT_EQ(array->GetArrayLength(), 3);
    EXPECT_TRUE(array->GetValue(0)->GetBoolValue());
    EXPECT_TRUE(array->GetValue(1)->IsNull());
    EXPECT_EQ(array->GetValue(2)->GetValue(L"c")->GetStringValue().ToWString(), L"d");
    EXPECT_EQ(Stringify(value), L"{\"b\":2,\"a\":[true,null,{\"c\":\"d\"}]}");
  });
}

TEST_F(V8JsonTest, DeepNestingThrowsInsteadOfOverflowing) {
  InPage([](CefRefPtr<CefV8Context>) {
    EXPECT_TRUE(Parse(Nested(512, L"[", L"]")));
    EXPECT_FALSE(Parse(Nested(100000, L"[", L"]")));
    EXPECT_FALSE(Parse(std::wstring(100000, L'[')));

    // Writing is bounded the same way.
    CefRefPtr<CefV8Value> outer = CefV8Value::CreateArray(0);
    CefRefPtr<CefV8Value> inner = outer;
    for (int depth = 1; depth < 100000; ++depth) {
      CefRefPtr<CefV8Value> next = CefV8Value::CreateArray(0);
      inner->SetValue(0, next);
      inner = next;
    }
    EXPECT_EQ(Stringify(outer), L"<threw>");
    EXPECT_TRUE(Parse(L"[1]")) << "the page's script still runs";
  });
}

TEST_F(V8JsonTest, StringifyEscapesAsScriptDoes) {
  InPage([](CefRefPtr<CefV8Context>) {
    const std::wstring text = std::wstring(L"q\" b\\ \b\f\n\r\t ") + L'\x01' + L'\x1f' +
                              L"\x7f/\x00e9 " + L"\xd83d\xde00 " + L'\xd800' + L"x" + L'\xdfff' +
                              L'\xdc00' + L'\xd800';
    EXPECT_EQ(Stringify(CefV8Value::CreateString(text)),
              std::wstring(L"\"q\\\" b\\\\ \\b\\f\\n\\r\\t \\u0001\\u001f\x7f/\x00e9 ") +
                  L"\xd83d\xde00 \\ud800x\\udfff\\udc00\\ud800\"");
    EXPECT_EQ(Stringify(CefV8Value::CreateString(L"")), L"\"\"");
  });
}

TEST_F(V8JsonTest, StringifyPrintsNumbersInTheirShortestScriptForm) {
  InPage([](CefRefPtr<CefV8Context>) {
    struct Case {
      double value;
      const wchar_t* text;
    };
    const Case cases[] = {
        {0.1, L"0.1"},
        {100.0, L"100"},
        {-1.5, L"-1.5"},
        {1e21, L"1e+21"},
        {1e20, L"100000000000000000000"},
        {123456789012345680000.0, L"123456789012345680000"},
        {1.5e-7, L"1.5e-7"},
        {1e-7, L"1e-7"},
        {0.000001, L"0.000001"},
        {1.7976931348623157e308, L"1.7976931348623157e+308"},
        {5e-324, L"5e-324"},
        {0.1 + 0.2, L"0.30000000000000004"},
        {-0.0, L"0"},
        {std::numeric_limits<double>::quiet_NaN(), L"null"},
        {HUGE_VAL, L"null"},
        {-HUGE_VAL, L"null"},
    };
    for (const Case& c : cases)
      EXPECT_EQ(Stringify(CefV8Value::CreateDouble(c.value)), c.text) << c.value;
    EXPECT_EQ(Stringify(CefV8Value::CreateInt(-2147483647 - 1)), L"-2147483648");
  });
}

TEST_F(V8JsonTest, StringifySkipsWhatHasNoJson) {
  InPage([](CefRefPtr<CefV8Context>) {
    CefRefPtr<CefV8Value> function = CefV8Value::CreateFunction(
        L"f", new LambdaHandler([](const CefString&, CefRefPtr<CefV8Value>, const CefV8ValueList&,
                                   CefRefPtr<CefV8Value>&, CefString&) { return false; }));
    CefRefPtr<CefV8Value> object = CefV8Value::CreateObject(nullptr);
    object->SetValue(L"u", CefV8Value::CreateUndefined(), V8_PROPERTY_ATTRIBUTE_NONE);
    object->SetValue(L"f", function, V8_PROPERTY_ATTRIBUTE_NONE);
    object->SetValue(L"hidden", CefV8Value::CreateInt(1), V8_PROPERTY_ATTRIBUTE_DONTENUM);
    object->SetValue(L"n", CefV8Value::CreateNull(), V8_PROPERTY_ATTRIBUTE_NONE);
    CefRefPtr<CefV8Value> array = CefV8Value::CreateArray(4);
    array->SetValue(0, CefV8Value::CreateUndefined());
    array->SetValue(1, function);
    array->SetValue(3, CefV8Value::CreateBool(false));
    object->SetValue(L"a", array, V8_PROPERTY_ATTRIBUTE_NONE);
    object->SetValue(L"e", CefV8Value::CreateObject(nullptr), V8_PROPERTY_ATTRIBUTE_NONE);
    EXPECT_EQ(Stringify(object), L"{\"n\":null,\"a\":[null,null,null,false],\"e\":{}}");

    EXPECT_EQ(Stringify(CefV8Value::CreateUndefined()), L"<undefined>");
    EXPECT_EQ(Stringify(function), L"<undefined>");
    CefRefPtr<CefV8Value> nothing = CallJson(L"stringify", {});
    ASSERT_TRUE(nothing);
    EXPECT_TRUE(nothing->IsUndefined());
  });
}

TEST_F(V8JsonTest, CyclesThrowButSharedObjectsDoNot) {
  InPage([](CefRefPtr<CefV8Context>) {
    CefRefPtr<CefV8Value> shared = CefV8Value::CreateObject(nullptr);
    CefRefPtr<CefV8Value> object = CefV8Value::CreateObject(nullptr);
    object->SetValue(L"x", shared, V8_PROPERTY_ATTRIBUTE_NONE);
    object->SetValue(L"y", shared, V8_PROPERTY_ATTRIBUTE_NONE);
    EXPECT_EQ(Stringify(object), L"{\"x\":{},\"y\":{}}");

    CefRefPtr<CefV8Value> array = CefV8Value::CreateArray(1);
    shared->SetValue(L"back", array, V8_PROPERTY_ATTRIBUTE_NONE);
    array->SetValue(0, object);
    EXPECT_EQ(Stringify(object), L"<threw>");
    EXPECT_EQ(Stringify(array), L"<threw>");
  });
}

}  // namespace
