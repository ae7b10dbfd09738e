#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "runtime/include/cef_app.h"
#include "runtime/include/cef_v8.h"
#include "runtime/standin/standin_probe.h"
#include "tests/support/temp_folder.h"

namespace renderer_test {

// A native function whose behaviour a test gives as a lambda.
class LambdaHandler : public CefV8Handler {
 public:
  using Body = std::function<bool(const CefString& name,
                                  CefRefPtr<CefV8Value> object,
                                  const CefV8ValueList& arguments,
                                  CefRefPtr<CefV8Value>& retval,
                                  CefString& exception)>;
  explicit LambdaHandler(Body body) : body_(std::move(body)) {}

  bool Execute(const CefString& name,
               CefRefPtr<CefV8Value> object,
               const CefV8ValueList& arguments,
               CefRefPtr<CefV8Value>& retval,
               CefString& exception) override {
    return body_(name, object, arguments, retval, exception);
  }

 private:
  Body body_;
  IMPLEMENT_REFCOUNTING(LambdaHandler);
};

// An application whose render process handler writes down what reaches
// it, one line per event, and keeps what it was handed.
class RecordingRenderApp : public CefApp, public CefRenderProcessHandler {
 public:
  CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return this; }

  void OnBrowserCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDictionaryValue>) override {
    Record(L"browser created " + std::to_wstring(browser->GetIdentifier()));
  }
  void OnBrowserDestroyed(CefRefPtr<CefBrowser> browser) override {
    Record(L"browser destroyed " + std::to_wstring(browser->GetIdentifier()) + L" frames " +
           std::to_wstring(browser->GetFrameCount()));
  }
  void OnContextCreated(CefRefPtr<CefBrowser>,
                        CefRefPtr<CefFrame> frame,
                        CefRefPtr<CefV8Context> context) override {
    Record(L"context created " + FrameName(frame) + Entered(context));
    std::lock_guard<std::mutex> lock(mutex_);
    contexts_.push_back(context);
  }
  void OnContextReleased(CefRefPtr<CefBrowser>,
                         CefRefPtr<CefFrame> frame,
                         CefRefPtr<CefV8Context> context) override {
    const bool still_on_frame = frame->GetV8Context() && frame->GetV8Context()->IsSame(context);
    Record(L"context released " + FrameName(frame) + Entered(context) +
           (still_on_frame && context->IsValid() ? L" on frame" : L" GONE"));
  }
  void OnFocusedNodeChanged(CefRefPtr<CefBrowser>,
                            CefRefPtr<CefFrame> frame,
                            CefRefPtr<CefDOMNode> node) override {
    Record(L"focus " + FrameName(frame) + L" " +
           (node ? node->GetElementTagName().ToWString() +
                       (node->IsEditable() ? L" editable" : L" fixed")
                 : L"none"));
  }
  bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                CefProcessId source_process,
                                CefRefPtr<CefProcessMessage> message) override {
    Record(L"message " + message->GetName().ToWString() + L" browser " +
           std::to_wstring(browser->GetIdentifier()) + L" " + FrameName(frame) +
           (source_process == PID_BROWSER ? L" from browser" : L" from renderer") +
           (message->IsReadOnly() ? L" read-only" : L" writable"));
    std::lock_guard<std::mutex> lock(mutex_);
    received_.push_back(message);
    return true;
  }

  // Frames are named by test fixtures before the events they are part of.
  void NameFrame(int64 identifier, std::wstring name) {
    std::lock_guard<std::mutex> lock(mutex_);
    frame_names_.emplace_back(identifier, std::move(name));
  }
  std::vector<std::wstring> TakeEvents() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(events_, {});
  }
  std::vector<CefRefPtr<CefV8Context>> contexts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return contexts_;
  }
  std::vector<CefRefPtr<CefProcessMessage>> received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

 private:
  std::wstring FrameName(const CefRefPtr<CefFrame>& frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [identifier, name] : frame_names_) {
      if (identifier == frame->GetIdentifier())
        return name;
    }
    return frame->IsMain() ? L"main" : L"frame " + std::to_wstring(frame->GetIdentifier());
  }
  static std::wstring Entered(const CefRefPtr<CefV8Context>& context) {
    CefRefPtr<CefV8Context> current = CefV8Context::GetCurrentContext();
    return current && current->IsSame(context) ? L" (entered)" : L"";
  }
  void Record(std::wstring event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
  }

  std::mutex mutex_;
  std::vector<std::wstring> events_;
  std::vector<std::pair<int64, std::wstring>> frame_names_;
  std::vector<CefRefPtr<CefV8Context>> contexts_;
  std::vector<CefRefPtr<CefProcessMessage>> received_;

  IMPLEMENT_REFCOUNTING(RecordingRenderApp);
};

// The runtime started with a recording application and its renderer
// running, torn down after each test.
class RendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CefSettings settings;
    settings.multi_threaded_message_loop = 1;
    settings.no_sandbox = 1;
    app_ = new RecordingRenderApp;
    ASSERT_TRUE(CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, app_, nullptr));
    ASSERT_TRUE(test::WaitUntil([&] { return probe_.WebKitInitializedCount() == 1; }));
  }

  void TearDown() override { CefShutdown(); }

  // Runs `work` on the renderer thread with the main frame's context of
  // browser `browser_id` entered.
  void InPage(int browser_id, const std::function<void(CefRefPtr<CefV8Context>)>& work) {
    CefRefPtr<CefBrowser> browser = probe_.RendererBrowser(browser_id);
    ASSERT_TRUE(browser);
    ASSERT_TRUE(StandinProbe::RunOnRenderer([&] {
      CefRefPtr<CefV8Context> context = browser->GetMainFrame()->GetV8Context();
      ASSERT_TRUE(context);
      ASSERT_TRUE(context->Enter());
      work(context);
      EXPECT_TRUE(context->Exit());
    }));
  }

  // A page of its own for tests of script values.
  void InPage(const std::function<void(CefRefPtr<CefV8Context>)>& work) {
    if (!probe_.RendererBrowser(kValueBrowser)) {
      ASSERT_TRUE(probe_.CreateRendererBrowser(kValueBrowser));
    }
    InPage(kValueBrowser, work);
  }

  static constexpr int kValueBrowser = 900;
  StandinProbe probe_;
  CefRefPtr<RecordingRenderApp> app_;
};

}  // namespace renderer_test
