// The renderer half of the script bridge against the stand-in runtime's
// pages: page script calling native functions and registering its own,
// and both halves of the bridge talking through process messages.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "browser/bridge/cef_js_bridge.h"
#include "browser/bridge/cef_js_handler.h"
#include "browser/manager/cef_manager.h"
#include "browser/manager/client_app.h"
#include "runtime/standin/standin_probe.h"
#include "tests/browser/fake_browser.h"
#include "tests/browser/main_thread_for_test.h"
#include "tests/support/temp_folder.h"

namespace kel_comp {
namespace {

using test::WaitUntil;

constexpr int kBrowserId = 1;

// A page function that records its calls, as their arguments turned into
// JSON text, and returns `result` made by `make_result`.
class RecordingFunction : public CefV8Handler {
 public:
  using MakeResult = std::function<CefRefPtr<CefV8Value>()>;
  explicit RecordingFunction(MakeResult make_result = nullptr)
      : make_result_(std::move(make_result)) {}

  bool Execute(const CefString& /*name*/,
               CefRefPtr<CefV8Value> object,
               const CefV8ValueList& arguments,
               CefRefPtr<CefV8Value>& retval,
               CefString& /*exception*/) override;

  // Renderer thread only (read after the work there is done).
  std::vector<std::vector<std::wstring>> calls;

 private:
  MakeResult make_result_;
  IMPLEMENT_REFCOUNTING(RecordingFunction);
};

// JSON.stringify of the current context, or "undefined".
std::wstring ToJson(CefRefPtr<CefV8Value> value) {
  CefRefPtr<CefV8Value> json = CefV8Context::GetCurrentContext()->GetGlobal()->GetValue(L"JSON");
  CefRefPtr<CefV8Value> text = json->GetValue(L"stringify")->ExecuteFunction(json, {value});
  return text && text->IsString() ? text->GetStringValue().ToWString() : L"undefined";
}

CefRefPtr<CefV8Value> FromJson(const std::wstring& text) {
  CefRefPtr<CefV8Value> json = CefV8Context::GetCurrentContext()->GetGlobal()->GetValue(L"JSON");
  return json->GetValue(L"parse")->ExecuteFunction(json, {CefV8Value::CreateString(text)});
}

bool RecordingFunction::Execute(const CefString& /*name*/,
                                CefRefPtr<CefV8Value> /*object*/,
                                const CefV8ValueList& arguments,
                                CefRefPtr<CefV8Value>& retval,
                                CefString& /*exception*/) {
  std::vector<std::wstring> texts;
  for (const CefRefPtr<CefV8Value>& argument : arguments)
    texts.push_back(argument && argument->IsString() ? L"'" + argument->GetStringValue().ToWString()
                                                     : ToJson(argument));
  calls.push_back(texts);
  if (make_result_)
    retval = make_result_();
  return true;
}

// What a handler call answered.
struct HandlerResult {
  bool handled;
  std::wstring exception;
  bool has_retval;
};

class JsBridgePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CefManager::GetInstance()->Initialize(data_folder_, settings_, false));
    probe_ = StandinProbe();  // the runtime is loaded now
    ASSERT_TRUE(WaitUntil([&] { return probe_.WebKitInitializedCount() == 1; }));
    handler_ = probe_.ExtensionHandler(0);
    ASSERT_TRUE(handler_);
    ASSERT_TRUE(probe_.CreateRendererBrowser(kBrowserId, /*child_frames=*/1));
    CefRefPtr<CefBrowser> browser = probe_.RendererBrowser(kBrowserId);
    ASSERT_TRUE(browser);
    std::vector<int64> frames;
    browser->GetFrameIdentifiers(frames);
    ASSERT_EQ(frames.size(), 2u);
    main_frame_ = browser->GetMainFrame()->GetIdentifier();
    child_frame_ = frames[0] == main_frame_ ? frames[1] : frames[0];
  }

  void TearDown() override {
    CefManager::GetInstance()->Shutdown();
    settings_.Reset();
  }

  // Runs `script` on the renderer thread inside the frame's script context,
  // as page script runs.
  void RunInFrame(int64 frame_id, std::function<void()> script) {
    ASSERT_TRUE(probe_.RunOnRenderer([&] {
      CefRefPtr<CefFrame> frame = probe_.RendererBrowser(kBrowserId)->GetFrame(frame_id);
      CefRefPtr<CefV8Context> context = frame ? frame->GetV8Context() : nullptr;
      ASSERT_TRUE(context && context->Enter());
      script();
      context->Exit();
    }));
  }

  // Renderer thread, inside a context: the extension's "native function"
  // with these arguments.
  HandlerResult Native(const wchar_t* name, const CefV8ValueList& arguments) {
    CefRefPtr<CefV8Value> retval;
    CefString exception;
    const bool handled = handler_->Execute(name, nullptr, arguments, retval, exception);
    return {handled, exception.ToWString(), retval != nullptr};
  }

  // KelCefWebInstance.call(name, arg1, arg2) as the page-side script makes
  // it: a function as arg1 is the callback, anything else is sent as its
  // JSON text.
  HandlerResult PageCall(const std::wstring& name,
                         CefRefPtr<CefV8Value> arg1,
                         CefRefPtr<CefV8Value> arg2 = CefV8Value::CreateUndefined()) {
    CefRefPtr<CefV8Value> function_name = CefV8Value::CreateString(name);
    if (arg1->IsFunction())
      return Native(L"call", {function_name, arg1});
    CefRefPtr<CefV8Value> json = CefV8Context::GetCurrentContext()->GetGlobal()->GetValue(L"JSON");
    CefRefPtr<CefV8Value> text = json->GetValue(L"stringify")->ExecuteFunction(json, {arg1});
    return Native(L"call", {function_name, text ? text : CefV8Value::CreateUndefined(), arg2});
  }

  HandlerResult PageRegister(const std::wstring& name, CefRefPtr<CefV8Value> function) {
    return Native(L"register", {CefV8Value::CreateString(name), function});
  }

  // A message from the browser process to the renderer's browser.
  bool Deliver(int64 frame_id, const wchar_t* name, std::function<void(CefListValue*)> fill) {
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(name);
    fill(message->GetArgumentList().get());
    return probe_.DeliverToRenderer(kBrowserId, frame_id, message);
  }

  bool AnswerPage(int callback_id, bool has_error, const std::wstring& result) {
    return Deliver(main_frame_, L"ExecuteJsCallback", [&](CefListValue* arguments) {
      arguments->SetInt(0, callback_id);
      arguments->SetBool(1, has_error);
      arguments->SetString(2, result);
    });
  }

  bool CallPageFunction(const std::wstring& name, const std::wstring& params, int id, int frame) {
    return Deliver(main_frame_, L"CallJsFunction", [&](CefListValue* arguments) {
      arguments->SetString(0, name);
      arguments->SetString(1, params);
      arguments->SetInt(2, id);
      arguments->SetInt(3, frame);
    });
  }

  // The function's recorded calls, read on the renderer thread.
  std::vector<std::vector<std::wstring>> CallsOf(CefRefPtr<RecordingFunction> function) {
    std::vector<std::vector<std::wstring>> calls;
    EXPECT_TRUE(probe_.RunOnRenderer([&] { calls = function->calls; }));
    return calls;
  }

  // Renderer thread: a script function backed by `recorder`.
  static CefRefPtr<CefV8Value> FunctionOf(CefRefPtr<RecordingFunction> recorder) {
    return CefV8Value::CreateFunction(L"recorded", recorder);
  }

  test::TempFolder folder_{L"qel_page_bridge"};
  const std::wstring data_folder_ = folder_.path() + L"cef_temp\\";
  CefSettings settings_;
  StandinProbe probe_;
  CefRefPtr<CefV8Handler> handler_;
  int64 main_frame_ = 0;
  int64 child_frame_ = 0;
};

// The (browser, frame, name, arguments as text) of a message sent to the
// browser process.
struct SentMessage {
  int browser_id = 0;
  int64 frame_id = 0;
  std::wstring name;
  std::vector<std::wstring> arguments;
};

SentMessage TakeSent(StandinProbe& probe) {
  SentMessage sent;
  StandinProbe::SentMessage taken = probe.TakeSentMessage();
  if (!taken.message)
    return sent;
  sent.browser_id = taken.browser_id;
  sent.frame_id = taken.frame_id;
  sent.name = taken.message->GetName().ToWString();
  CefRefPtr<CefListValue> arguments = taken.message->GetArgumentList();
  for (size_t i = 0; i < arguments->GetSize(); ++i) {
    switch (arguments->GetType(i)) {
      case VTYPE_STRING:
        sent.arguments.push_back(arguments->GetString(i).ToWString());
        break;
      case VTYPE_INT:
        sent.arguments.push_back(std::to_wstring(arguments->GetInt(i)));
        break;
      case VTYPE_BOOL:
        sent.arguments.push_back(arguments->GetBool(i) ? L"true" : L"false");
        break;
      default:
        sent.arguments.push_back(L"?");
    }
  }
  return sent;
}

TEST_F(JsBridgePageTest, CallSendsItsParametersAsJsonThroughTheMainFrame) {
  CefRefPtr<RecordingFunction> callback = new RecordingFunction;
  std::vector<HandlerResult> results;
  RunInFrame(child_frame_, [&] {
    CefRefPtr<CefV8Value> cb = FunctionOf(callback);
    results.push_back(PageCall(L"f", cb));
    results.push_back(PageCall(L"f", FromJson(L"{\"a\":1}"), cb));
    results.push_back(PageCall(L"f", CefV8Value::CreateInt(5), cb));
    results.push_back(PageCall(L"f", CefV8Value::CreateString(L"文字"), cb));
  });
  ASSERT_EQ(results.size(), 4u);
  for (const HandlerResult& result : results) {
    EXPECT_TRUE(result.handled);
    EXPECT_FALSE(result.has_retval) << "the page always gets undefined";
  }

  const std::vector<std::wstring> expected_params = {L"{}", L"{\"a\":1}", L"5", L"\"文字\""};
  for (size_t i = 0; i < expected_params.size(); ++i) {
    const SentMessage sent = TakeSent(probe_);
    EXPECT_EQ(sent.browser_id, kBrowserId);
    EXPECT_EQ(sent.frame_id, main_frame_) << "whichever frame the script runs in";
    EXPECT_EQ(sent.name, L"CallCppFunction");
    EXPECT_EQ(sent.arguments,
              (std::vector<std::wstring>{L"f", expected_params[i], std::to_wstring(i)}));
  }
  EXPECT_TRUE(TakeSent(probe_).name.empty());
}

TEST_F(JsBridgePageTest, InvalidCallsAndRegistrationsSendNothing) {
  std::vector<HandlerResult> results;
  RunInFrame(main_frame_, [&] {
    CefRefPtr<CefV8Value> cb = FunctionOf(new RecordingFunction);
    CefRefPtr<CefV8Value> name = CefV8Value::CreateString(L"f");
    results.push_back(PageCall(L"f", FromJson(L"{\"a\":1}")));  // no callback
    results.push_back(PageCall(L"f", CefV8Value::CreateUndefined()));
    results.push_back(Native(L"call", {name}));
    results.push_back(Native(L"call", {CefV8Value::CreateInt(1), cb}));
    results.push_back(Native(L"register", {name, CefV8Value::CreateString(L"x")}));
    results.push_back(Native(L"register", {cb, name}));
    results.push_back(Native(L"other", {name, cb}));
  });
  ASSERT_EQ(results.size(), 7u);
  for (size_t i = 0; i < results.size(); ++i) {
    EXPECT_FALSE(results[i].handled) << i;
    EXPECT_FALSE(results[i].has_retval) << i;
  }
  for (size_t i = 0; i < 6; ++i)
    EXPECT_EQ(results[i].exception, L"Invalid arguments.") << i;
  EXPECT_TRUE(results[6].exception.empty()) << "other names are simply not handled";
  EXPECT_TRUE(TakeSent(probe_).name.empty());
}

TEST_F(JsBridgePageTest, AnswerReachesThePageCallbackOnce) {
  CefRefPtr<RecordingFunction> callback = new RecordingFunction;
  RunInFrame(main_frame_, [&] { PageCall(L"score", FromJson(L"{}"), FunctionOf(callback)); });
  const SentMessage call = TakeSent(probe_);
  ASSERT_EQ(call.arguments.size(), 3u);
  const int id = std::stoi(call.arguments[2]);

  ASSERT_TRUE(AnswerPage(id + 100, false, L"{}")) << "unknown ids are ignored";
  ASSERT_TRUE(AnswerPage(id, false, L"{\"score\":3,\"名\":\"玩家\"}"));
  ASSERT_TRUE(AnswerPage(id, true, L"{\"again\":1}"));
  EXPECT_EQ(CallsOf(callback),
            (std::vector<std::vector<std::wstring>>{{L"false", L"{\"score\":3,\"名\":\"玩家\"}"}}));
}

TEST_F(JsBridgePageTest, AnswerThatIsNoJsonReachesThePageAsAnError) {
  CefRefPtr<RecordingFunction> callback = new RecordingFunction;
  RunInFrame(main_frame_, [&] { PageCall(L"f", FunctionOf(callback)); });
  const int id = std::stoi(TakeSent(probe_).arguments.at(2));
  ASSERT_TRUE(AnswerPage(id, false, L"plain text"));
  EXPECT_EQ(CallsOf(callback), (std::vector<std::vector<std::wstring>>{{L"true", L"'plain text"}}));
}

TEST_F(JsBridgePageTest, MessagesWithWrongArgumentsAreDropped) {
  CefRefPtr<RecordingFunction> callback = new RecordingFunction;
  CefRefPtr<RecordingFunction> page_function = new RecordingFunction;
  RunInFrame(main_frame_, [&] {
    PageCall(L"f", FunctionOf(callback));
    PageRegister(L"g", FunctionOf(page_function));
  });
  const int id = std::stoi(TakeSent(probe_).arguments.at(2));
  // The id as a string, the flag as an int, a missing result.
  Deliver(main_frame_, L"ExecuteJsCallback", [&](CefListValue* arguments) {
    arguments->SetString(0, std::to_wstring(id));
    arguments->SetBool(1, false);
    arguments->SetString(2, L"{}");
  });
  Deliver(main_frame_, L"ExecuteJsCallback", [&](CefListValue* arguments) {
    arguments->SetInt(0, id);
    arguments->SetInt(1, 0);
    arguments->SetString(2, L"{}");
  });
  Deliver(main_frame_, L"ExecuteJsCallback", [&](CefListValue* arguments) {
    arguments->SetInt(0, id);
    arguments->SetBool(1, false);
  });
  Deliver(main_frame_, L"CallJsFunction", [&](CefListValue* arguments) {
    arguments->SetString(0, L"g");
    arguments->SetString(1, L"{}");
    arguments->SetString(2, L"1");
  });
  EXPECT_TRUE(CallsOf(callback).empty());
  EXPECT_TRUE(CallsOf(page_function).empty());

  // The callback is still waiting for a proper answer.
  ASSERT_TRUE(AnswerPage(id, false, L"[1,2]"));
  EXPECT_EQ(CallsOf(callback), (std::vector<std::vector<std::wstring>>{{L"false", L"[1,2]"}}));
}

TEST_F(JsBridgePageTest, RegisteredFunctionAnswersNativeCodeWithObjectsOnly) {
  int answer = 0;
  CefRefPtr<RecordingFunction> first = new RecordingFunction([&]() -> CefRefPtr<CefV8Value> {
    // An object on the first call, then a number, then a string.
    switch (answer++) {
      case 0:
        return FromJson(L"{\"ok\":true,\"list\":[1,\"二\"]}");
      case 1:
        return CefV8Value::CreateInt(4);
      default:
        return CefV8Value::CreateString(L"text");
    }
  });
  CefRefPtr<RecordingFunction> second = new RecordingFunction;
  std::vector<HandlerResult> results;
  RunInFrame(main_frame_, [&] {
    results.push_back(PageRegister(L"f", FunctionOf(first)));
    results.push_back(PageRegister(L"f", FunctionOf(second)));
  });
  ASSERT_EQ(results.size(), 2u);
  EXPECT_TRUE(results[0].handled);
  EXPECT_FALSE(results[1].handled) << "the first registration stays";
  EXPECT_EQ(results[1].exception, L"Failed to register function.");

  ASSERT_TRUE(CallPageFunction(L"f", L"{\"x\":1}", 9, -1));
  ASSERT_TRUE(CallPageFunction(L"f", L"[]", 10, static_cast<int>(main_frame_)));
  ASSERT_TRUE(CallPageFunction(L"f", L"\"s\"", 11, -1));
  EXPECT_EQ(CallsOf(first),
            (std::vector<std::vector<std::wstring>>{{L"{\"x\":1}"}, {L"[]"}, {L"'s"}}));
  EXPECT_TRUE(CallsOf(second).empty());

  const SentMessage sent = TakeSent(probe_);
  EXPECT_EQ(sent.name, L"ExecuteCppCallback");
  EXPECT_EQ(sent.frame_id, main_frame_);
  EXPECT_EQ(sent.arguments,
            (std::vector<std::wstring>{L"{\"ok\":true,\"list\":[1,\"二\"]}", L"9"}));
  EXPECT_TRUE(TakeSent(probe_).name.empty()) << "numbers and strings are not answered";
}

TEST_F(JsBridgePageTest, FunctionsBelongToTheFrameThatRegisteredThem) {
  CefRefPtr<RecordingFunction> in_main = new RecordingFunction;
  CefRefPtr<RecordingFunction> in_child = new RecordingFunction;
  RunInFrame(main_frame_, [&] { PageRegister(L"f", FunctionOf(in_main)); });
  RunInFrame(child_frame_, [&] {
    EXPECT_TRUE(PageRegister(L"f", FunctionOf(in_child)).handled) << "another frame's key";
  });
  ASSERT_TRUE(CallPageFunction(L"f", L"1", 1, static_cast<int>(child_frame_)));
  ASSERT_TRUE(CallPageFunction(L"g", L"1", 2, -1));  // nobody registered "g"
  EXPECT_TRUE(CallsOf(in_main).empty());
  EXPECT_EQ(CallsOf(in_child), (std::vector<std::vector<std::wstring>>{{L"1"}}));
}

TEST_F(JsBridgePageTest, ReloadingAFrameDropsItsCallbacksAndFunctionsOnly) {
  CefRefPtr<RecordingFunction> main_callback = new RecordingFunction;
  CefRefPtr<RecordingFunction> child_callback = new RecordingFunction;
  CefRefPtr<RecordingFunction> main_function = new RecordingFunction;
  CefRefPtr<RecordingFunction> child_function = new RecordingFunction;
  RunInFrame(main_frame_, [&] {
    PageCall(L"a", FunctionOf(main_callback));
    PageRegister(L"m", FunctionOf(main_function));
  });
  RunInFrame(child_frame_, [&] {
    PageCall(L"b", FunctionOf(child_callback));
    PageRegister(L"c", FunctionOf(child_function));
  });
  const int main_id = std::stoi(TakeSent(probe_).arguments.at(2));
  const int child_id = std::stoi(TakeSent(probe_).arguments.at(2));

  ASSERT_TRUE(probe_.ReloadFrame(kBrowserId, child_frame_));
  ASSERT_TRUE(AnswerPage(child_id, false, L"{}"));
  ASSERT_TRUE(AnswerPage(main_id, false, L"{}"));
  ASSERT_TRUE(CallPageFunction(L"c", L"{}", 1, static_cast<int>(child_frame_)));
  ASSERT_TRUE(CallPageFunction(L"m", L"{}", 2, -1));
  EXPECT_TRUE(CallsOf(child_callback).empty());
  EXPECT_TRUE(CallsOf(child_function).empty());
  EXPECT_EQ(CallsOf(main_callback).size(), 1u);
  EXPECT_EQ(CallsOf(main_function).size(), 1u);

  // The new page may register the name again.
  RunInFrame(child_frame_,
             [&] { EXPECT_TRUE(PageRegister(L"c", FunctionOf(child_function)).handled); });
}

// Both halves: the page's call crosses to a native function on the main
// thread, and its answer comes back to the page callback.
TEST_F(JsBridgePageTest, PageCallReachesANativeFunctionAndItsAnswerComesBack) {
  test::MainThreadForTest main_thread;
  CefJSBridge native_bridge;
  ASSERT_TRUE(native_bridge.RegisterCppFunc(
      L"add",
      [](const std::string& params, CppReply reply) {
        reply(false, params == "{\"a\":2,\"b\":3}" ? "{\"sum\":5}" : "{\"sum\":-1}");
      },
      nullptr));

  // The browser-process browser delivers to its renderer counterpart.
  CefRefPtr<test::FakeBrowser> host = new test::FakeBrowser(kBrowserId);
  const int64 main_frame = main_frame_;
  StandinProbe& probe = probe_;
  host->main_frame->forward = [&probe, main_frame](CefProcessId target,
                                                   CefRefPtr<CefProcessMessage> message) {
    EXPECT_EQ(target, PID_RENDERER);
    probe.DeliverToRenderer(kBrowserId, main_frame, message);
  };

  CefRefPtr<RecordingFunction> sum = new RecordingFunction;
  CefRefPtr<RecordingFunction> missing = new RecordingFunction;
  RunInFrame(child_frame_, [&] {
    PageCall(L"add", FromJson(L"{\"a\":2,\"b\":3}"), FunctionOf(sum));
    PageCall(L"subtract", FromJson(L"{}"), FunctionOf(missing));
  });
  for (int i = 0; i < 2; ++i) {
    const SentMessage call = TakeSent(probe_);
    ASSERT_EQ(call.name, L"CallCppFunction");
    native_bridge.ExecuteCppFunc(call.arguments[0], call.arguments[1], std::stoi(call.arguments[2]),
                                 host);
  }
  EXPECT_TRUE(WaitUntil([&] { return CallsOf(sum).size() == 1; }));
  EXPECT_EQ(CallsOf(sum), (std::vector<std::vector<std::wstring>>{{L"false", L"{\"sum\":5}"}}));
  EXPECT_EQ(CallsOf(missing), (std::vector<std::vector<std::wstring>>{
                                  {L"true", L"{\"message\":\"Function does not exist.\"}"}}));
}

}  // namespace
}  // namespace kel_comp
