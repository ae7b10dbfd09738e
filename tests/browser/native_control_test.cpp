// The windowed browser control's own rules, with a fake browser whose
// "browser window" is a plain child window.

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "browser/control/cef_native_control.h"
#include "tests/browser/fake_browser.h"
#include "tests/browser/main_thread_for_test.h"

namespace kel_comp {
namespace {

RECT ClientRectIn(HWND child, HWND parent) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class NativeControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(main_.RunAndWait([this] {
      parent_ = CreateWindowExW(0, L"Static", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                300, nullptr, nullptr, nullptr, nullptr);
      child_ = CreateWindowExW(0, L"Static", L"page", WS_CHILD | WS_VISIBLE, 10, 10, 300, 200,
                               parent_, nullptr, nullptr, nullptr);
      control_ = std::make_unique<CefNativeControl>();
      control_->Init();
    }));
    ASSERT_TRUE(child_);
    browser_->host->window = child_;
  }
  void TearDown() override {
    if (handler_) {
      handler_->OnBeforeClose(browser_);
      main_.RunAndWait([] {});
    }
    main_.RunAndWait([this] {
      control_.reset();
      DestroyWindow(child_);
      DestroyWindow(parent_);
    });
  }
  void Create() {
    handler_ = control_->GetHandler();
    handler_->OnAfterCreated(browser_);
    ASSERT_TRUE(main_.RunAndWait([] {}));
  }

  test::MainThreadForTest main_;
  HWND parent_ = nullptr;
  HWND child_ = nullptr;
  std::unique_ptr<CefNativeControl> control_;
  CefRefPtr<BrowserHandler> handler_;
  CefRefPtr<test::FakeBrowser> browser_ = new test::FakeBrowser(1);
};

TEST_F(NativeControlTest, BrowserWindowFollowsBoundsVisibilityAndFocus) {
  Create();
  ASSERT_TRUE(main_.RunAndWait([this] {
    control_->SetBounds(ui::UiRect{20, 30, 220, 130});
    const RECT placed = ClientRectIn(child_, parent_);
    EXPECT_EQ(placed.left, 20);
    EXPECT_EQ(placed.top, 30);
    EXPECT_EQ(placed.right, 220);
    EXPECT_EQ(placed.bottom, 130);

    control_->SetFadeVisible(false);
    RECT hidden = ClientRectIn(child_, parent_);
    EXPECT_EQ(hidden.right - hidden.left, 0);
    EXPECT_EQ(hidden.bottom - hidden.top, 0);
    EXPECT_EQ(hidden.left, 20) << "left in place";
    EXPECT_TRUE(GetWindowLongPtrW(child_, GWL_STYLE) & WS_VISIBLE) << "sized away, not hidden";
    control_->SetInternalVisible(true);
    control_->SetBounds(ui::UiRect{20, 30, 220, 131});
    const RECT shown = ClientRectIn(child_, parent_);
    EXPECT_EQ(shown.bottom - shown.top, 101);

    ui::EventArgs focus;
    focus.type = ui::kEventInternalSetFocus;
    control_->HandleEvent(&focus);
    EXPECT_TRUE(browser_->host->focused);
    focus.type = ui::kEventInternalKillFocus;
    control_->HandleEvent(&focus);
    EXPECT_FALSE(browser_->host->focused);
  }));
}

TEST_F(NativeControlTest, DestructionReparentsClosesAndDetaches) {
  Create();
  CefRefPtr<BrowserHandler> handler = control_->GetHandler();
  ASSERT_TRUE(main_.RunAndWait([this] { control_.reset(); }));
  EXPECT_EQ(browser_->host->closed, 10) << "one forced close";
  EXPECT_NE(GetAncestor(child_, GA_PARENT), parent_) << "out of the host window first";
  EXPECT_FALSE(handler->GetHandlerDelegate());
  EXPECT_FALSE(handler->GetHostWindow());
}

TEST_F(NativeControlTest, BrowserArrivingAfterItsControlWentIsClosed) {
  CefRefPtr<BrowserHandler> handler = control_->GetHandler();
  ASSERT_TRUE(main_.RunAndWait([this] { control_.reset(); }));
  handler_ = handler;
  handler->OnAfterCreated(browser_);
  ASSERT_TRUE(main_.RunAndWait([] {}));
  EXPECT_EQ(browser_->host->closed, 10);
}

TEST_F(NativeControlTest, DevToolsOpenOnceAndWaitForTheBrowser) {
  std::vector<bool> visible;
  ASSERT_TRUE(main_.RunAndWait([&] {
    control_->AttachDevToolsVisibleChange([&](bool shown) { visible.push_back(shown); });
    EXPECT_TRUE(control_->AttachDevTools(nullptr));
    EXPECT_FALSE(control_->IsAttachedDevTools()) << "queued until the browser exists";
  }));
  Create();
  ASSERT_TRUE(main_.RunAndWait([&] {
    EXPECT_EQ(browser_->host->devtools_shown, 1);
    EXPECT_TRUE(control_->AttachDevTools(nullptr));
    EXPECT_EQ(browser_->host->devtools_shown, 1) << "a second call opens nothing";
    control_->DetachDevTools();
    EXPECT_EQ(browser_->host->devtools_shown, 0);
    EXPECT_FALSE(control_->IsAttachedDevTools());
  }));
  EXPECT_EQ(visible, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace kel_comp
