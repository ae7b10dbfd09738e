#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "runtime/include/cef_command_line.h"
#include "runtime/include/cef_process_message.h"
#include "tests/runtime/renderer_test_support.h"

namespace {

using renderer_test::RecordingRenderApp;
using renderer_test::RendererTest;

class RendererPagesTest : public RendererTest {
 protected:
  // Browser `browser_id` with `child_frames` children named "child 1"...;
  // the frame identifiers, main frame first.
  std::vector<int64> CreateNamed(int browser_id, int child_frames) {
    std::vector<int64> frames;
    if (!probe_.CreateRendererBrowser(browser_id, child_frames))
      return frames;
    probe_.RendererBrowser(browser_id)->GetFrameIdentifiers(frames);
    for (size_t i = 1; i < frames.size(); ++i)
      app_->NameFrame(frames[i], L"child " + std::to_wstring(i));
    app_->TakeEvents();
    return frames;
  }
};

TEST_F(RendererPagesTest, CreatesFramesWithUniqueIdentifiersAndAContextEach) {
  ASSERT_TRUE(probe_.CreateRendererBrowser(1, 2));
  const int64 main_id = probe_.RendererBrowser(1)->GetMainFrame()->GetIdentifier();
  EXPECT_EQ(app_->TakeEvents(),
            (std::vector<std::wstring>{
                L"browser created 1", L"context created main (entered)",
                L"context created frame " + std::to_wstring(main_id + 1) + L" (entered)",
                L"context created frame " + std::to_wstring(main_id + 2) + L" (entered)"}));
  ASSERT_TRUE(probe_.CreateRendererBrowser(2, 0));
  EXPECT_FALSE(probe_.CreateRendererBrowser(2, 0)) << "identifier in use";
  EXPECT_FALSE(probe_.CreateRendererBrowser(0, 0));
  EXPECT_FALSE(probe_.CreateRendererBrowser(-4, 0));
  EXPECT_FALSE(probe_.CreateRendererBrowser(3, -1));
  EXPECT_FALSE(probe_.CreateRendererBrowser(3, 100000));
  EXPECT_FALSE(probe_.RendererBrowser(3));

  CefRefPtr<CefBrowser> first = probe_.RendererBrowser(1);
  CefRefPtr<CefBrowser> second = probe_.RendererBrowser(2);
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(StandinProbe::RunOnRenderer([&] {
    EXPECT_EQ(first->GetIdentifier(), 1);
    EXPECT_TRUE(first->IsSame(probe_.RendererBrowser(1)));
    EXPECT_FALSE(first->IsSame(second));
    std::vector<int64> frames;
    first->GetFrameIdentifiers(frames);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(first->GetFrameCount(), 3u);
    CefRefPtr<CefFrame> main_frame = first->GetMainFrame();
    EXPECT_EQ(frames[0], main_frame->GetIdentifier());
    EXPECT_TRUE(main_frame->IsMain());
    EXPECT_FALSE(main_frame->GetParent());
    EXPECT_TRUE(main_frame->GetBrowser()->IsSame(first));

    std::set<int64> unique(frames.begin(), frames.end());
    unique.insert(second->GetMainFrame()->GetIdentifier());
    EXPECT_EQ(unique.size(), 4u) << "identifiers are unique in the process";
    for (int64 id : unique)
      EXPECT_GT(id, 0);
    for (size_t i = 1; i < frames.size(); ++i) {
      CefRefPtr<CefFrame> child = first->GetFrame(frames[i]);
      ASSERT_TRUE(child);
      EXPECT_FALSE(child->IsMain());
      EXPECT_TRUE(child->GetParent()->GetIdentifier() == frames[0]);
      EXPECT_TRUE(child->GetV8Context()->GetFrame()->GetIdentifier() == frames[i]);
    }
    EXPECT_FALSE(first->GetFrame(second->GetMainFrame()->GetIdentifier()))
        << "another browser's frame";
    // Navigation is harmless.
    first->Reload();
    main_frame->LoadURL(L"https://example.com/");
    EXPECT_TRUE(main_frame->IsValid());
  }));
}

TEST_F(RendererPagesTest, DestroyReleasesChildFramesFirstThenTheBrowser) {
  const std::vector<int64> frames = CreateNamed(1, 2);
  ASSERT_EQ(frames.size(), 3u);
  CefRefPtr<CefBrowser> browser = probe_.RendererBrowser(1);
  ASSERT_TRUE(probe_.DestroyRendererBrowser(1));
  EXPECT_EQ(app_->TakeEvents(), (std::vector<std::wstring>{
                                    L"context released child 2 (entered) on frame",
                                    L"context released child 1 (entered) on frame",
                                    L"context released main (entered) on frame",
                                    L"browser destroyed 1 frames 3",
                                }));
  EXPECT_FALSE(probe_.RendererBrowser(1));
  EXPECT_FALSE(probe_.DestroyRendererBrowser(1));
  ASSERT_TRUE(StandinProbe::RunOnRenderer([&] {
    EXPECT_FALSE(browser->GetMainFrame());
    EXPECT_EQ(browser->GetFrameCount(), 0u);
    for (const CefRefPtr<CefV8Context>& context : app_->contexts())
      EXPECT_FALSE(context->IsValid());
  }));
}

TEST_F(RendererPagesTest, SentMessagesWaitInOrderAndBecomeReadOnly) {
  const std::vector<int64> frames = CreateNamed(1, 1);
  ASSERT_EQ(frames.size(), 2u);
  CefRefPtr<CefBrowser> browser = probe_.RendererBrowser(1);
  CefRefPtr<CefProcessMessage> first = CefProcessMessage::Create(L"CallCppFunction");
  first->GetArgumentList()->SetString(0, L"f");
  CefRefPtr<CefProcessMessage> second = CefProcessMessage::Create(L"ExecuteCppCallback");
  CefRefPtr<CefProcessMessage> wrong_way = CefProcessMessage::Create(L"ToARenderer");
  ASSERT_TRUE(StandinProbe::RunOnRenderer([&] {
    browser->GetMainFrame()->SendProcessMessage(PID_BROWSER, first);
    browser->GetFrame(frames[1])->SendProcessMessage(PID_RENDERER, wrong_way);
    browser->GetFrame(frames[1])->SendProcessMessage(PID_BROWSER, second);
  }));
  EXPECT_TRUE(first->IsReadOnly());
  EXPECT_FALSE(first->GetArgumentList()->SetInt(1, 5));
  EXPECT_FALSE(wrong_way->IsReadOnly()) << "dropped, not sent";

  StandinProbe::SentMessage sent = probe_.TakeSentMessage();
  ASSERT_TRUE(sent.message);
  EXPECT_EQ(sent.message.get(), first.get());
  EXPECT_EQ(sent.browser_id, 1);
  EXPECT_EQ(sent.frame_id, frames[0]);
  sent = probe_.TakeSentMessage();
  ASSERT_TRUE(sent.message);
  EXPECT_EQ(sent.message->GetName().ToWString(), L"ExecuteCppCallback");
  EXPECT_EQ(sent.frame_id, frames[1]);
  EXPECT_FALSE(probe_.TakeSentMessage().message);

  // A frame whose browser is gone sends nothing.
  ASSERT_TRUE(probe_.DestroyRendererBrowser(1));
  ASSERT_TRUE(StandinProbe::RunOnRenderer([&] {
    CefRefPtr<CefFrame> gone = browser->GetFrame(frames[0]);
    EXPECT_FALSE(gone);
  }));
}

TEST_F(RendererPagesTest, DeliveredMessagesAreReadOnlyCopiesFromTheBrowser) {
  const std::vector<int64> frames = CreateNamed(1, 1);
  ASSERT_EQ(frames.size(), 2u);
  CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(L"ExecuteJsCallback");
  message->GetArgumentList()->SetInt(0, 4);
  message->GetArgumentList()->SetBool(1, true);
  message->GetArgumentList()->SetString(2, L"{\"a\":1}");

  ASSERT_TRUE(probe_.DeliverToRenderer(1, frames[1], message));
  EXPECT_EQ(app_->TakeEvents(),
            (std::vector<std::wstring>{
                L"message ExecuteJsCallback browser 1 child 1 from browser read-only"}));
  ASSERT_EQ(app_->received().size(), 1u);
  CefRefPtr<CefProcessMessage> received = app_->received()[0];
  EXPECT_NE(received.get(), message.get());
  EXPECT_EQ(received->GetArgumentList()->GetInt(0), 4);
  EXPECT_TRUE(received->GetArgumentList()->GetBool(1));
  EXPECT_EQ(received->GetArgumentList()->GetString(2).ToWString(), L"{\"a\":1}");
  EXPECT_FALSE(received->GetArgumentList()->SetInt(0, 1));
  EXPECT_FALSE(message->IsReadOnly()) << "the sender's message stays its own";

  EXPECT_FALSE(probe_.DeliverToRenderer(2, frames[0], message));
  EXPECT_FALSE(probe_.DeliverToRenderer(1, frames[1] + 100, message));
  EXPECT_FALSE(probe_.DeliverToRenderer(1, frames[0], nullptr));
  EXPECT_TRUE(app_->TakeEvents().empty());
}

TEST_F(RendererPagesTest, FocusChangesNameTheNode) {
  const std::vector<int64> frames = CreateNamed(1, 1);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_TRUE(probe_.FocusNode(1, frames[0], 1));
  EXPECT_TRUE(probe_.FocusNode(1, frames[1], 0));
  EXPECT_TRUE(probe_.FocusNode(1, frames[0], -1));
  EXPECT_FALSE(probe_.FocusNode(1, frames[0], 2));
  EXPECT_FALSE(probe_.FocusNode(7, frames[0], 1));
  EXPECT_EQ(app_->TakeEvents(),
            (std::vector<std::wstring>{L"focus main INPUT editable", L"focus child 1 DIV fixed",
                                       L"focus main none"}));
}

TEST_F(RendererPagesTest, ShutdownReleasesRemainingPagesAndForgetsEnteredContexts) {
  CreateNamed(1, 1);
  CreateNamed(2, 0);
  CefRefPtr<CefBrowser> browser = probe_.RendererBrowser(2);
  ASSERT_TRUE(StandinProbe::RunOnRenderer([&] {
    // Left entered and a message left unread: neither outlives shutdown.
    browser->GetMainFrame()->GetV8Context()->Enter();
    browser->GetMainFrame()->SendProcessMessage(PID_BROWSER, CefProcessMessage::Create(L"late"));
  }));
  browser = nullptr;
  CefShutdown();
  EXPECT_EQ(app_->TakeEvents(), (std::vector<std::wstring>{
                                    L"context released child 1 (entered) on frame",
                                    L"context released main (entered) on frame",
                                    L"browser destroyed 1 frames 2",
                                    L"context released main (entered) on frame",
                                    L"browser destroyed 2 frames 1",
                                }));
  EXPECT_FALSE(probe_.TakeSentMessage().message);

  // A new start has clean pages.
  CefSettings settings;
  settings.multi_threaded_message_loop = 1;
  settings.no_sandbox = 1;
  app_ = new RecordingRenderApp;
  ASSERT_TRUE(CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, app_, nullptr));
  EXPECT_FALSE(probe_.RendererBrowser(1));
  ASSERT_TRUE(StandinProbe::RunOnRenderer([] { EXPECT_FALSE(CefV8Context::InContext()); }));
  EXPECT_TRUE(probe_.CreateRendererBrowser(1, 0));
}

TEST(RendererPagesWithoutRuntimeTest, EveryCallFailsCleanly) {
  // Loads the runtime library without starting it.
  ASSERT_TRUE(CefCommandLine::CreateCommandLine());
  StandinProbe probe;
  ASSERT_TRUE(probe.available());
  ASSERT_FALSE(probe.IsInitialized());
  EXPECT_FALSE(probe.CreateRendererBrowser(1, 0));
  EXPECT_FALSE(probe.RendererBrowser(1));
  EXPECT_FALSE(probe.ReloadFrame(1, 1));
  EXPECT_FALSE(probe.DestroyRendererBrowser(1));
  EXPECT_FALSE(probe.DeliverToRenderer(1, 1, CefProcessMessage::Create(L"m")));
  EXPECT_FALSE(probe.FocusNode(1, 1, 1));
  EXPECT_FALSE(probe.TakeSentMessage().message);
  EXPECT_FALSE(StandinProbe::RunOnRenderer([] {}));
  EXPECT_FALSE(CefV8Context::GetCurrentContext());
  EXPECT_FALSE(CefV8Value::CreateObject(nullptr));
}

}  // namespace
