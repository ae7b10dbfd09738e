#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/controls/fake_host.h"
#include "tests/controls/test_controls.h"
#include "ui/control/skin_event_handler.h"

namespace ui {
namespace {

using test::FakeHost;
using test::MakeBox;
using test::MakeStretch;

using Log = std::vector<std::string>;

EventHandler Record(Log* log, std::string entry, bool result = true) {
  return [log, entry, result](EventArgs*) {
    log->push_back(entry);
    return result;
  };
}

// Notes when its own reaction runs.
class ReactingBox : public Box {
 public:
  explicit ReactingBox(Log* log, std::string name) : log_(log), name_(std::move(name)) {}
  bool HandleEvent(EventArgs* args) override {
    if (args->type == kEventClick)
      log_->push_back(name_ + ".handle");
    return Box::HandleEvent(args);
  }

 private:
  Log* log_;
  std::string name_;
};

class ReactingControl : public Control {
 public:
  explicit ReactingControl(Log* log) : log_(log) {}
  bool HandleEvent(EventArgs* args) override {
    if (args->type == kEventClick)
      log_->push_back("button.handle");
    return Control::HandleEvent(args);
  }

 private:
  Log* log_;
};

// root > panel > button, with every kind of handler recording.
class EventTreeTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = std::make_unique<ReactingBox>(&log_, "root");
    panel_ = new ReactingBox(&log_, "panel");
    button_ = new ReactingControl(&log_);
    panel_->Add(button_);
    root_->Add(panel_);
  }

  Log log_;
  std::unique_ptr<ReactingBox> root_;
  ReactingBox* panel_ = nullptr;
  ReactingControl* button_ = nullptr;
};

TEST_F(EventTreeTest, OwnHandlersThenReactionThenAncestorsUpToTheRoot) {
  button_->AttachXmlEvent(kEventAll, Record(&log_, "button.xml.all"));
  button_->AttachXmlEvent(kEventClick, Record(&log_, "button.xml.click"));
  button_->AttachEvent(kEventAll, Record(&log_, "button.all"));
  button_->AttachEvent(kEventClick, Record(&log_, "button.click.1"));
  button_->AttachEvent(kEventClick, Record(&log_, "button.click.2"));
  panel_->AttachXmlBubbledEvent(kEventClick, Record(&log_, "panel.xml.bubbled"));
  panel_->AttachBubbledEvent(kEventAll, Record(&log_, "panel.bubbled.all"));
  panel_->AttachBubbledEvent(kEventClick, Record(&log_, "panel.bubbled"));
  panel_->AttachEvent(kEventClick, Record(&log_, "panel.own"));
  root_->AttachBubbledEvent(kEventClick, [this](EventArgs* args) {
    log_.push_back(args->sender == button_ ? "root.bubbled(button)" : "root.bubbled(?)");
    return true;
  });
  EXPECT_TRUE(button_->SendEvent(kEventClick));
  EXPECT_EQ(log_,
            (Log{"button.click.1", "button.click.2", "button.all", "button.xml.click",
                 "button.xml.all", "button.handle", "panel.bubbled", "panel.bubbled.all",
                 "panel.xml.bubbled", "panel.handle", "root.bubbled(button)", "root.handle"}));
}

TEST_F(EventTreeTest, AFalseOwnHandlerStopsEverythingAfterIt) {
  button_->AttachEvent(kEventClick, Record(&log_, "button.click.1", false));
  button_->AttachEvent(kEventClick, Record(&log_, "button.click.2"));
  button_->AttachEvent(kEventAll, Record(&log_, "button.all", false));
  button_->AttachXmlEvent(kEventClick, Record(&log_, "button.xml"));
  root_->AttachBubbledEvent(kEventClick, Record(&log_, "root.bubbled"));
  EXPECT_FALSE(button_->SendEvent(kEventClick));
  // The "all" list still runs after the type's list, then nothing else.
  EXPECT_EQ(log_, (Log{"button.click.1", "button.all"}));
}

TEST_F(EventTreeTest, AFalseTypeHandlerIsNotUndoneByAMissingAllList) {
  button_->AttachEvent(kEventClick, Record(&log_, "button.click", false));
  EXPECT_FALSE(button_->SendEvent(kEventClick));
  EXPECT_EQ(log_, (Log{"button.click"}));
}

TEST_F(EventTreeTest, AFalseBubbledHandlerStopsTheBubble) {
  panel_->AttachBubbledEvent(kEventClick, Record(&log_, "panel.bubbled", false));
  panel_->AttachXmlBubbledEvent(kEventClick, Record(&log_, "panel.xml.bubbled"));
  root_->AttachBubbledEvent(kEventClick, Record(&log_, "root.bubbled"));
  EXPECT_FALSE(button_->SendEvent(kEventClick));
  EXPECT_EQ(log_, (Log{"button.handle", "panel.bubbled"}));
}

TEST_F(EventTreeTest, BubbledHandlersOfABoxCanResumeWhatItsOwnHandlersStopped) {
  panel_->AttachEvent(kEventClick, Record(&log_, "panel.own", false));
  panel_->SendEvent(kEventClick);
  // Stopped: no bubbled list to resume it.
  EXPECT_EQ(log_, (Log{"panel.own"}));

  log_.clear();
  panel_->AttachBubbledEvent(kEventClick, Record(&log_, "panel.bubbled"));
  EXPECT_TRUE(panel_->SendEvent(kEventClick));
  EXPECT_EQ(log_, (Log{"panel.own", "panel.bubbled", "panel.handle", "root.handle"}));
}

TEST_F(EventTreeTest, AllHandlersSeeEveryNonInternalEvent) {
  button_->AttachEvent(kEventAll, [this](EventArgs* args) {
    log_.push_back("all:" + std::to_string(args->type));
    return true;
  });
  button_->SendEvent(kEventSelect);
  button_->SendEvent(kEventMouseHover);
  for (EventType internal : {kEventInternalDoubleClick, kEventInternalMenu, kEventInternalSetFocus,
                             kEventInternalKillFocus}) {
    button_->SendEvent(internal);
  }
  EXPECT_EQ(log_, (Log{"all:42", "all:17"}));
}

TEST_F(EventTreeTest, HandlersOfADestroyedOwnerNeverRun) {
  class Form : public kbase::SupportWeakCallback {
   public:
    explicit Form(Log* log) : log_(log) {}
    bool OnClick(EventArgs*) {
      log_->push_back("form.click");
      return true;
    }

   private:
    Log* log_;
  };
  auto form = std::make_unique<Form>(&log_);
  Form* raw = form.get();
  root_->AttachBubbledEvent(
      kEventClick, form->MakeWeakCallback([raw](EventArgs* a) { return raw->OnClick(a); }));
  button_->SendEvent(kEventClick);
  EXPECT_EQ(log_, (Log{"button.handle", "panel.handle", "form.click", "root.handle"}));

  log_.clear();
  form.reset();
  // The dead handler answers false, which stops the event at the root.
  EXPECT_FALSE(button_->SendEvent(kEventClick));
  EXPECT_EQ(log_, (Log{"button.handle", "panel.handle"}));
}

TEST_F(EventTreeTest, AControlDestroyedByItsHandlerEndsTheDispatch) {
  panel_->SetDelayedDestroy(false);
  button_->AttachEvent(kEventClick, [this](EventArgs*) {
    log_.push_back("removing");
    panel_->Remove(button_);
    return true;
  });
  button_->AttachEvent(kEventClick, Record(&log_, "after"));
  button_->AttachEvent(kEventAll, Record(&log_, "all"));
  EXPECT_FALSE(button_->SendEvent(kEventClick));
  EXPECT_EQ(log_, (Log{"removing"}));
  EXPECT_EQ(panel_->GetCount(), 0);
}

TEST_F(EventTreeTest, ABoxDestroyedByABubbledHandlerEndsTheDispatch) {
  root_->SetDelayedDestroy(false);
  panel_->AttachBubbledEvent(kEventClick, [this](EventArgs*) {
    log_.push_back("removing panel");
    root_->Remove(panel_);
    return true;
  });
  panel_->AttachBubbledEvent(kEventAll, Record(&log_, "panel.all"));
  root_->AttachBubbledEvent(kEventClick, Record(&log_, "root.bubbled"));
  // The button goes with its panel while its own event is on the way up.
  EXPECT_FALSE(button_->SendEvent(kEventClick));
  EXPECT_EQ(root_->GetCount(), 0);
  EXPECT_EQ(log_, (Log{"button.handle", "removing panel"}));
}

TEST_F(EventTreeTest, EmptyHandlersAreNotStored) {
  button_->AttachEvent(kEventClick, EventHandler());
  panel_->AttachBubbledEvent(kEventClick, EventHandler());
  EXPECT_TRUE(button_->SendEvent(kEventClick));
}

// The default reactions -----------------------------------------------------

class ReactionTest : public testing::Test {
 protected:
  void SetUp() override {
    root_.reset(MakeBox());
    host_.AttachRoot(root_.get());
    panel_ = MakeBox();
    a_ = new test::ActivatableControl;
    b_ = new test::ActivatableControl;
    panel_->Add(a_);
    panel_->Add(b_);
    root_->Add(panel_);
    root_->SetBounds({0, 0, 100, 100});
    a_->SetBounds({0, 0, 50, 50});
    b_->SetBounds({50, 0, 100, 50});
  }

  FakeHost host_;
  std::unique_ptr<Box> root_;
  Box* panel_ = nullptr;
  test::ActivatableControl* a_ = nullptr;
  test::ActivatableControl* b_ = nullptr;
};

TEST_F(ReactionTest, EnterAndLeaveMoveBetweenNormalAndHot) {
  host_.set_hover(a_);
  a_->SendEvent(kEventMouseEnter);
  EXPECT_EQ(a_->GetState(), ControlState::kHot);
  EXPECT_EQ(panel_->GetState(), ControlState::kHot);
  // The mouse moves to the sibling: the parent stays hot.
  host_.set_hover(b_);
  a_->SendEvent(kEventMouseLeave);
  EXPECT_EQ(a_->GetState(), ControlState::kNormal);
  EXPECT_EQ(panel_->GetState(), ControlState::kHot);
  // And leaves the parent too.
  host_.set_hover(root_.get());
  b_->SendEvent(kEventMouseLeave);
  EXPECT_EQ(panel_->GetState(), ControlState::kNormal);
}

TEST_F(ReactionTest, EnterFromADescendantNeedsTheMouseInside) {
  host_.set_hover(nullptr);
  a_->SendEvent(kEventMouseEnter);
  EXPECT_EQ(a_->GetState(), ControlState::kHot);
  EXPECT_EQ(panel_->GetState(), ControlState::kNormal);
}

TEST_F(ReactionTest, ClickInsideActivatesAndReleaseOutsideDoesNot) {
  a_->SendEvent(kEventMouseButtonDown, 0, 0, 0, 0, {10, 10});
  EXPECT_EQ(a_->GetState(), ControlState::kPushed);
  EXPECT_TRUE(a_->IsMouseCaptured());
  a_->SendEvent(kEventMouseButtonUp, 0, 0, 0, 0, {10, 10});
  EXPECT_EQ(a_->activations(), 1);
  EXPECT_EQ(a_->GetState(), ControlState::kHot);
  EXPECT_EQ(a_->GetHotAlpha(), 255);
  EXPECT_FALSE(a_->IsMouseCaptured());

  a_->SendEvent(kEventMouseButtonDown, 0, 0, 0, 0, {10, 10});
  a_->SendEvent(kEventMouseButtonUp, 0, 0, 0, 0, {70, 10});
  EXPECT_EQ(a_->activations(), 1);
  EXPECT_EQ(a_->GetState(), ControlState::kNormal);
  EXPECT_EQ(a_->GetHotAlpha(), 0);
  // A release without a press does nothing.
  a_->SendEvent(kEventMouseButtonUp, 0, 0, 0, 0, {10, 10});
  EXPECT_EQ(a_->activations(), 1);
}

TEST_F(ReactionTest, PointerUpActivatesOnlyWhenPointerInputIsReceived) {
  a_->SendEvent(kEventPointerDown, 0, 0, 0, 0.5f, {10, 10});
  a_->SendEvent(kEventPointerUp, 0, 0, 0, 0.5f, {10, 10});
  EXPECT_EQ(a_->activations(), 1);
  EXPECT_EQ(a_->GetState(), ControlState::kNormal);
  a_->ApplyAttribute(L"receivepointer", L"false");
  a_->SendEvent(kEventPointerDown, 0, 0, 0, 0.5f, {10, 10});
  EXPECT_EQ(a_->GetState(), ControlState::kNormal);
  EXPECT_EQ(a_->activations(), 1);
}

TEST_F(ReactionTest, MouseEventsOfAMouseDisabledControlGoToItsParentUnchanged) {
  Log log;
  a_->SetMouseEnabled(false);
  root_->AttachBubbledEvent(kEventMouseButtonDown, [&log, this](EventArgs* args) {
    log.push_back(args->sender == a_ ? "sender a" : "other sender");
    return true;
  });
  a_->SendEvent(kEventMouseButtonDown, 0, 0, 0, 0, {10, 10});
  EXPECT_EQ(a_->GetState(), ControlState::kNormal);
  EXPECT_EQ(panel_->GetState(), ControlState::kPushed);
  // The panel reacted and ended the event there.
  EXPECT_TRUE(log.empty());
}

TEST_F(ReactionTest, DisabledControlIsNeitherHotNorPushed) {
  a_->SetEnabled(false);
  a_->SendEvent(kEventMouseEnter);
  a_->SendEvent(kEventMouseButtonDown, 0, 0, 0, 0, {10, 10});
  a_->SendEvent(kEventMouseButtonUp, 0, 0, 0, 0, {10, 10});
  EXPECT_EQ(a_->GetState(), ControlState::kDisabled);
  EXPECT_EQ(a_->activations(), 0);
}

TEST_F(ReactionTest, MenuEventOnlyWithTheMenuAttribute) {
  Log log;
  a_->AttachEvent(kEventMouseMenu, [&log](EventArgs* args) {
    log.push_back("menu " + std::to_string(args->wParam));
    return true;
  });
  a_->SendEvent(kEventInternalMenu, 7);
  EXPECT_TRUE(log.empty());
  a_->ApplyAttribute(L"menu", L"true");
  a_->SendEvent(kEventInternalMenu, 7);
  EXPECT_EQ(log, (Log{"menu 7"}));
}

TEST_F(ReactionTest, FocusEventsChangeStateAndFocusFlag) {
  a_->SendEvent(kEventInternalSetFocus);
  EXPECT_TRUE(a_->IsFocused());
  EXPECT_EQ(a_->GetState(), ControlState::kHot);
  a_->SendEvent(kEventInternalKillFocus);
  EXPECT_FALSE(a_->IsFocused());
  EXPECT_EQ(a_->GetState(), ControlState::kNormal);

  a_->SetFocus();
  EXPECT_EQ(host_.GetFocusControl(), a_);
  b_->ApplyAttribute(L"nofocus", L"false");
  b_->SetFocus();
  EXPECT_EQ(host_.GetFocusControl(), a_);
  // Hiding the focused control makes the window drop the focus.
  a_->SetVisible(false);
  EXPECT_EQ(host_.GetFocusControl(), nullptr);
}

TEST_F(ReactionTest, ResizeEventComesWithEveryBoundsChange) {
  int resizes = 0;
  a_->AttachEvent(kEventResize, [&resizes](EventArgs*) {
    ++resizes;
    return true;
  });
  a_->SetBounds({0, 0, 40, 40});
  a_->SetBounds({0, 0, 40, 40});
  EXPECT_EQ(resizes, 1);
}

TEST_F(ReactionTest, ResizeEventsReachEveryHandlerThatListensUpTheTree) {
  Log log;
  auto record = [&log, this](std::string name) {
    return [&log, this, name](EventArgs* args) {
      const Control* s = args->sender;
      log.push_back(name + (s == root_.get() ? "(root)"
                            : s == panel_    ? "(panel)"
                            : s == a_        ? "(a)"
                            : s == b_        ? "(b)"
                                             : "(?)"));
      return true;
    };
  };
  root_->AttachXmlBubbledEvent(kEventAll, record("root.xml.all"));
  panel_->AttachBubbledEvent(kEventResize, record("panel.bubbled"));
  panel_->AttachBubbledEvent(kEventClick, record("panel.click"));
  b_->AttachXmlEvent(kEventAll, record("b.xml.all"));
  // Every control fills its box: all four change size, the boxes first.
  root_->SetBounds({0, 0, 120, 100});
  EXPECT_EQ(log, (Log{"root.xml.all(root)", "panel.bubbled(panel)", "root.xml.all(panel)",
                      "panel.bubbled(a)", "root.xml.all(a)", "b.xml.all(b)", "panel.bubbled(b)",
                      "root.xml.all(b)"}));
}

TEST_F(ReactionTest, EventsWithoutAWindowStillReachTheirHandlers) {
  std::unique_ptr<Box> box(MakeBox());
  Control* child = MakeStretch();
  box->Add(child);
  Log log;
  box->AttachBubbledEvent(kEventClick, Record(&log, "bubbled"));
  child->SendEvent(kEventClick);
  child->SendEvent(kEventInternalSetFocus);
  EXPECT_EQ(log, (Log{"bubbled"}));
  EXPECT_TRUE(child->IsFocused());
}

// Skin vocabulary and handlers ------------------------------------------------

TEST(SkinEventTest, NamesMapToTheirNumbersAndUnknownNamesToNone) {
  EXPECT_EQ(EventTypeFromName(L"all"), 6);
  EXPECT_EQ(EventTypeFromName(L"buttondown"), 18);
  EXPECT_EQ(EventTypeFromName(L"menu"), 23);
  EXPECT_EQ(EventTypeFromName(L"setfocus"), 36);
  EXPECT_EQ(EventTypeFromName(L"select"), 42);
  EXPECT_EQ(EventTypeFromName(L"valuechange"), 51);
  EXPECT_EQ(EventTypeFromName(L"click"), kEventNone);
  EXPECT_EQ(EventTypeFromName(L"Select"), kEventNone);
  EXPECT_EQ(EventTypeFromName(L""), kEventNone);
  EXPECT_EQ(kEventClick, 41);
  EXPECT_EQ(kEventResize, 52);
}

TEST(SkinEventTest, ReceiverInsideTheOwnerIgnoresCaseAndWindowNamesAreExact) {
  FakeHost host;
  std::unique_ptr<Box> root(MakeBox());
  Box* panel = MakeBox();
  Control* title = MakeStretch();
  title->SetName(L"Title");
  Control* other = MakeStretch();
  other->SetName(L"other");
  panel->Add(title);
  root->Add(panel);
  root->Add(other);
  host.AttachRoot(root.get());

  EXPECT_EQ(FindSkinEventReceiver(panel, L"./title"), title);
  EXPECT_EQ(FindSkinEventReceiver(panel, L".\\TITLE"), title);
  EXPECT_EQ(FindSkinEventReceiver(panel, L"title"), nullptr);
  EXPECT_EQ(FindSkinEventReceiver(panel, L"Title"), title);
  EXPECT_EQ(FindSkinEventReceiver(panel, L"./other"), nullptr);

  panel->AttachXmlEvent(kEventClick,
                        MakeSkinEventHandler(panel, L"other", L"visible=\"false\" width=\"12\""));
  EXPECT_TRUE(panel->SendEvent(kEventClick));
  EXPECT_FALSE(other->IsVisible());
  EXPECT_EQ(other->GetFixedWidth(), 12);
  // An unknown receiver does nothing and still lets the event go on.
  panel->AttachXmlEvent(kEventSelect, MakeSkinEventHandler(panel, L"nobody", L"width=\"1\""));
  EXPECT_TRUE(panel->SendEvent(kEventSelect));
}

}  // namespace
}  // namespace ui
