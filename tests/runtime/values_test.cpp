#include <gtest/gtest.h>

#include "runtime/include/cef_process_message.h"
#include "runtime/include/cef_v8.h"
#include "runtime/include/cef_values.h"

namespace {

TEST(CefListValueTest, SettersGrowTheListAndGettersCheckTypes) {
  CefRefPtr<CefListValue> list = CefListValue::Create();
  ASSERT_TRUE(list);
  EXPECT_TRUE(list->SetBool(2, true));
  ASSERT_EQ(list->GetSize(), 3u);
  EXPECT_EQ(list->GetType(0), VTYPE_NULL);
  EXPECT_EQ(list->GetType(2), VTYPE_BOOL);
  EXPECT_EQ(list->GetType(3), VTYPE_INVALID);

  list->SetInt(0, -7);
  list->SetString(1, L"{\"message\":\"x\"}");
  EXPECT_EQ(list->GetInt(0), -7);
  EXPECT_EQ(list->GetDouble(0), -7.0);
  EXPECT_EQ(list->GetString(1).ToWString(), L"{\"message\":\"x\"}");
  EXPECT_TRUE(list->GetBool(2));

  // Wrong types and indexes give the empty value.
  EXPECT_EQ(list->GetInt(1), 0);
  EXPECT_FALSE(list->GetBool(0));
  EXPECT_TRUE(list->GetString(2).empty());
  EXPECT_FALSE(list->GetBool(99));

  EXPECT_TRUE(list->Remove(0));
  EXPECT_EQ(list->GetType(0), VTYPE_STRING);
  EXPECT_FALSE(list->Remove(5));
  EXPECT_TRUE(list->SetSize(1));
  EXPECT_EQ(list->GetSize(), 1u);
}

TEST(CefListValueTest, WildIndexIsRefusedWithoutGrowing) {
  CefRefPtr<CefListValue> list = CefListValue::Create();
  EXPECT_FALSE(list->SetInt(static_cast<size_t>(-1), 1));
  EXPECT_FALSE(list->SetSize(static_cast<size_t>(1) << 30));
  EXPECT_EQ(list->GetSize(), 0u);
}

TEST(CefProcessMessageTest, CarriesNameAndOwnedArguments) {
  EXPECT_FALSE(CefProcessMessage::Create(L""));

  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(L"FocusedNodeChanged");
  ASSERT_TRUE(message);
  EXPECT_EQ(message->GetName().ToWString(), L"FocusedNodeChanged");
  EXPECT_FALSE(message->IsReadOnly());
  CefRefPtr<CefListValue> arguments = message->GetArgumentList();
  EXPECT_TRUE(arguments->IsOwned());
  arguments->SetBool(0, true);
  EXPECT_TRUE(message->GetArgumentList()->GetBool(0)) << "the list is the message's own";

  CefRefPtr<CefProcessMessage> copy = message->Copy();
  arguments->SetBool(0, false);
  EXPECT_TRUE(copy->GetArgumentList()->GetBool(0));
  EXPECT_EQ(copy->GetName().ToWString(), L"FocusedNodeChanged");
}

TEST(CefV8ValueTest, PlainValuesReportTheirTypeAndContent) {
  CefRefPtr<CefV8Value> yes = CefV8Value::CreateBool(true);
  ASSERT_TRUE(yes);
  EXPECT_TRUE(yes->IsBool());
  EXPECT_TRUE(yes->GetBoolValue());
  EXPECT_FALSE(yes->IsString());

  CefRefPtr<CefV8Value> text = CefV8Value::CreateString(L"Function does not exist.");
  EXPECT_TRUE(text->IsString());
  EXPECT_EQ(text->GetStringValue().ToWString(), L"Function does not exist.");
  EXPECT_FALSE(text->IsFunction());
  EXPECT_FALSE(text->ExecuteFunction(nullptr, {}));

  EXPECT_TRUE(CefV8Value::CreateInt(5)->IsDouble());
  EXPECT_EQ(CefV8Value::CreateInt(5)->GetDoubleValue(), 5.0);
  EXPECT_TRUE(CefV8Value::CreateUndefined()->IsUndefined());
  EXPECT_TRUE(CefV8Value::CreateNull()->IsNull());
  EXPECT_FALSE(CefV8Context::GetCurrentContext()) << "no page runs on this thread";
}

}  // namespace
