// The browser-process half of the script bridge: native functions the
// forms register, the page's calls to them, and the answers of page
// functions.

#include <gtest/gtest.h>

#include <windows.h>

#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "browser/bridge/cef_js_bridge.h"
#include "tests/browser/fake_browser.h"
#include "tests/browser/main_thread_for_test.h"

namespace kel_comp {
namespace {

using test::WaitUntil;

// What the browser's main frame sent, collected from any thread.
class SentMessages {
 public:
  explicit SentMessages(test::FakeFrame* frame) {
    frame->forward = [this](CefProcessId target, CefRefPtr<CefProcessMessage> message) {
      std::lock_guard<std::mutex> lock(mutex_);
      EXPECT_EQ(target, PID_RENDERER);
      messages_.push_back(message);
    };
  }

  size_t size() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_.size();
  }
  CefRefPtr<CefProcessMessage> at(size_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_.at(index);
  }
  bool WaitFor(size_t count) {
    return WaitUntil([&] { return size() >= count; });
  }

 private:
  std::mutex mutex_;
  std::vector<CefRefPtr<CefProcessMessage>> messages_;
};

// The (id, has error, result) of an "ExecuteJsCallback" message.
struct JsCallback {
  int id;
  bool has_error;
  std::wstring result;
};

JsCallback ReadJsCallback(CefRefPtr<CefProcessMessage> message) {
  EXPECT_EQ(message->GetName().ToWString(), L"ExecuteJsCallback");
  CefRefPtr<CefListValue> arguments = message->GetArgumentList();
  EXPECT_EQ(arguments->GetSize(), 3u);
  return {arguments->GetInt(0), arguments->GetBool(1), arguments->GetString(2).ToWString()};
}

class JsBridgeNativeTest : public ::testing::Test {
 protected:
  // A native function that records its parameters and thread, and answers
  // with `answer` unless told not to.
  CppFunction Recording(std::string answer, bool reply = true) {
    return [this, answer, reply](const std::string& params, CppReply on_reply) {
      calls_.push_back(params);
      call_threads_.push_back(GetCurrentThreadId());
      if (reply)
        on_reply(false, answer);
      else
        pending_reply_ = on_reply;
    };
  }

  test::MainThreadForTest main_thread_;
  CefJSBridge bridge_;
  CefRefPtr<test::FakeBrowser> browser_ = new test::FakeBrowser(1);
  SentMessages sent_{browser_->main_frame.get()};
  // Main thread only, read once the expected message arrived.
  std::vector<std::string> calls_;
  std::vector<DWORD> call_threads_;
  CppReply pending_reply_;
};

TEST_F(JsBridgeNativeTest, UnknownFunctionAnswersThePageAtOnce) {
  EXPECT_FALSE(bridge_.ExecuteCppFunc(L"missing", L"{}", 7, browser_));
  ASSERT_EQ(sent_.size(), 1u) << "sent before returning";
  const JsCallback answer = ReadJsCallback(sent_.at(0));
  EXPECT_EQ(answer.id, 7);
  EXPECT_TRUE(answer.has_error);
  EXPECT_EQ(answer.result, L"{\"message\":\"Function does not exist.\"}");
}

TEST_F(JsBridgeNativeTest, FunctionRunsOnTheMainThreadWithUtf8Parameters) {
  ASSERT_TRUE(bridge_.RegisterCppFunc(L"login", Recording("{\"名字\":\"玩家\"}"), nullptr));
  EXPECT_TRUE(bridge_.ExecuteCppFunc(L"login", L"{\"user\":\"张三\"}", 3, browser_));
  ASSERT_TRUE(sent_.WaitFor(1));

  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0], "{\"user\":\"\xE5\xBC\xA0\xE4\xB8\x89\"}");
  EXPECT_EQ(call_threads_[0], main_thread_.os_thread_id());
  const JsCallback answer = ReadJsCallback(sent_.at(0));
  EXPECT_EQ(answer.id, 3);
  EXPECT_FALSE(answer.has_error);
  EXPECT_EQ(answer.result, L"{\"名字\":\"玩家\"}");
}

TEST_F(JsBridgeNativeTest, ReplyFromAnotherThreadIsSentOnce) {
  ASSERT_TRUE(bridge_.RegisterCppFunc(L"slow", Recording("", /*reply=*/false), nullptr));
  ASSERT_TRUE(bridge_.ExecuteCppFunc(L"slow", L"[]", 11, browser_));
  // The function ran on the main thread once this has.
  CppReply reply;
  ASSERT_TRUE(main_thread_.RunAndWait([&] { reply = pending_reply_; }));
  ASSERT_TRUE(reply);
  EXPECT_EQ(sent_.size(), 0u) << "nothing until the function replies";

  std::thread([reply] {
    reply(true, "{\"code\":5}");
    reply(false, "{\"code\":6}");
  }).join();
  ASSERT_EQ(sent_.size(), 1u);
  const JsCallback answer = ReadJsCallback(sent_.at(0));
  EXPECT_EQ(answer.id, 11);
  EXPECT_TRUE(answer.has_error);
  EXPECT_EQ(answer.result, L"{\"code\":5}");
}

TEST_F(JsBridgeNativeTest, BrowserEntryComesBeforeTheSharedOne) {
  ASSERT_TRUE(bridge_.RegisterCppFunc(L"f", Recording("\"shared\""), nullptr));
  ASSERT_TRUE(bridge_.RegisterCppFunc(L"f", Recording("\"own\""), browser_));
  EXPECT_FALSE(bridge_.RegisterCppFunc(L"f", Recording("\"again\""), nullptr))
      << "an existing entry stays";
  EXPECT_FALSE(bridge_.RegisterCppFunc(L"f", CppFunction(), nullptr, true));

  CefRefPtr<test::FakeBrowser> other = new test::FakeBrowser(2);
  SentMessages other_sent(other->main_frame.get());
  ASSERT_TRUE(bridge_.ExecuteCppFunc(L"f", L"{}", 1, browser_));
  ASSERT_TRUE(bridge_.ExecuteCppFunc(L"f", L"{}", 2, other));
  ASSERT_TRUE(sent_.WaitFor(1));
  ASSERT_TRUE(other_sent.WaitFor(1));
  EXPECT_EQ(ReadJsCallback(sent_.at(0)).result, L"\"own\"");
  EXPECT_EQ(ReadJsCallback(other_sent.at(0)).result, L"\"shared\"");

  // Replacing is explicit.
  ASSERT_TRUE(bridge_.RegisterCppFunc(L"f", Recording("\"replaced\""), nullptr, true));
  ASSERT_TRUE(bridge_.ExecuteCppFunc(L"f", L"{}", 3, other));
  ASSERT_TRUE(other_sent.WaitFor(2));
  EXPECT_EQ(ReadJsCallback(other_sent.at(1)).result, L"\"replaced\"");
}

TEST_F(JsBridgeNativeTest, PageFunctionAnswerReachesTheNativeCallerOnce) {
  std::vector<std::string> results;
  std::vector<DWORD> threads;
  auto callback = [&](const std::string& result) {
    results.push_back(result);
    threads.push_back(GetCurrentThreadId());
  };
  ASSERT_TRUE(bridge_.CallJSFunction(L"getScore", L"{\"level\":2}", browser_, -5, callback));
  ASSERT_TRUE(bridge_.CallJSFunction(L"getScore", L"{}", browser_, 42, callback));
  ASSERT_EQ(sent_.size(), 2u);

  CefRefPtr<CefListValue> first = sent_.at(0)->GetArgumentList();
  EXPECT_EQ(sent_.at(0)->GetName().ToWString(), L"CallJsFunction");
  EXPECT_EQ(first->GetString(0).ToWString(), L"getScore");
  EXPECT_EQ(first->GetString(1).ToWString(), L"{\"level\":2}");
  EXPECT_EQ(first->GetInt(3), -1) << "the main frame";
  CefRefPtr<CefListValue> second = sent_.at(1)->GetArgumentList();
  EXPECT_NE(first->GetInt(2), second->GetInt(2)) << "each call has its own id";
  EXPECT_EQ(second->GetInt(3), 42);

  EXPECT_TRUE(bridge_.ExecuteCppCallbackFunc(second->GetInt(2), L"{\"分\":9}"));
  EXPECT_FALSE(bridge_.ExecuteCppCallbackFunc(second->GetInt(2), L"{}")) << "answered already";
  EXPECT_FALSE(bridge_.ExecuteCppCallbackFunc(12345, L"{}"));
  size_t count = 0;
  ASSERT_TRUE(main_thread_.RunAndWait([&] { count = results.size(); }));
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(results[0], "{\"\xE5\x88\x86\":9}");
  EXPECT_EQ(threads[0], main_thread_.os_thread_id());
}

TEST_F(JsBridgeNativeTest, CallsThatCannotBeSentAreRefused) {
  auto callback = [](const std::string&) {};
  const int64_t too_large = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  EXPECT_FALSE(bridge_.CallJSFunction(L"f", L"{}", browser_, too_large, callback))
      << "would name another frame";
  EXPECT_FALSE(bridge_.CallJSFunction(L"f", L"{}", nullptr, -1, callback));
  EXPECT_FALSE(bridge_.CallJSFunction(L"f", L"{}", browser_, -1, nullptr));
  EXPECT_FALSE(bridge_.ExecuteCppFunc(L"f", L"{}", 1, nullptr));
  EXPECT_EQ(sent_.size(), 0u);
}

}  // namespace
}  // namespace kel_comp
