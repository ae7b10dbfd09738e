#pragma once

// The page view: lays out a Document, paints it into a 32-bit bitmap, and
// turns mouse and keyboard input into focus, typing, scrolling, clicks on
// links and buttons, and form submissions.
//
// How to drive it (all of it on the renderer thread; every delegate call
// is made synchronously from inside one of the calls below):
//   1. Make a Document, Load() the response bytes with the response's
//      charset, and give it to SetDocument() (or AttachDocument()). The
//      view becomes the document's observer and host; the script engine
//      sets itself as the document's ScriptEventSink and runs
//      document->scripts(). OnInvalidate may come while script changes
//      the document: note it and paint later, never from inside.
//   2. SetViewportSize() with the child window's client size.
//   3. Paint() into a top-down BGRA buffer whenever the delegate asked for
//      a repaint (OnInvalidate, in view coordinates) or the window needs
//      one. Paint lays out again first when the document changed. Pixels
//      outside `dirty` are left as they were.
//   4. Feed input: MouseMove/MouseDown/MouseUp/MouseWheel/MouseLeave in
//      view pixels, KeyDown for virtual keys, Char for WM_CHAR units (input
//      method results included), SetWindowFocus when the window gains or
//      loses the keyboard, Tick about every 100 ms for the caret's blink.
//   5. Images: after each layout the delegate's OnImagesNeeded lists the
//      addresses not asked for before; fetch them and hand the bytes to
//      SetImageData (or SetImageFailed). The view lays out again with the
//      picture's size and asks for a repaint.
//   6. A file input asks OnFileChooserRequested; answer with
//      SetChosenFile (an empty path cancels).
// Links, submissions and script's click() come out as OnNavigate with the
// resolved address, target, method, body and user-gesture flag; the
// delegate decides (and loads) them. Iframes: ChildFrames() gives each
// <iframe> element's box for a child window; ElementRect() gives any
// element's box (for clicking an element by id).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/standin/page/document.h"
#include "runtime/standin/page/layout.h"

namespace cef_standin::page {

class GdiFonts;
class ImageStore;
class SelectPopup;

enum class CursorKind { kArrow, kHand, kIBeam };
enum class MouseButton { kLeft, kMiddle, kRight };
// Whether taking the focus scrolls the element into view: keyboard and
// script focus do; a mouse press does not, or the element would move from
// under the pointer before the release and the click would be lost.
enum class FocusScroll { kIntoView, kNone };

// Key modifiers held during an input event.
struct Modifiers {
  bool shift = false;
  bool control = false;
  bool alt = false;
};

struct NavigationRequest {
  std::string url;
  // "" (this frame), "_blank", "_self", "_top", "_parent" or a frame name.
  std::string target;
  UserGesture gesture = UserGesture::kNo;
  // "GET" or "POST" (form submissions only).
  std::string method = "GET";
  std::string body;
  std::string content_type;
};

// Where the view paints: 32 bits a pixel, B G R A in memory, rows top down
// `stride` bytes apart. Alpha is written as 255.
struct PaintTarget {
  void* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

struct ChildFrameBox {
  NodePtr iframe;
  // In view coordinates (scroll applied).
  Rect rect;
};

// What is under a point, for a context menu.
struct PointContext {
  // The deepest element there, or null.
  NodePtr node;
  // The enclosing link's resolved address, or "".
  std::string link_url;
  // The image's resolved address, or "".
  std::string image_url;
  // A text field that takes typing.
  bool editable = false;
};

// Implemented by the browser half. None of the calls may destroy the view.
class ViewDelegate {
 public:
  virtual void OnNavigate(const NavigationRequest& request) = 0;
  // The focused element changed; null when nothing in the page has focus.
  virtual void OnFocusedNodeChanged(const NodePtr& node) = 0;
  virtual void OnCursorChanged(CursorKind cursor) = 0;
  // `dirty` (view coordinates) needs painting.
  virtual void OnInvalidate(const Rect& dirty) = 0;
  virtual void OnImagesNeeded(const std::vector<std::string>& urls) = 0;
  virtual void OnFileChooserRequested(const NodePtr& input) = 0;
  // The open <select> list opened, closed, moved or changed its look;
  // only while the view paints it separately (SetPopupSeparate).
  virtual void OnPopupChanged() {}

 protected:
  ~ViewDelegate() = default;
};

class PageView : public DocumentObserver, public DocumentHost {
 public:
  // The caret blinks at this period (milliseconds).
  static constexpr std::uint64_t kBlinkMs = 530;

  // `delegate` is not owned and must outlive the view.
  explicit PageView(ViewDelegate* delegate);
  ~PageView();
  PageView(const PageView&) = delete;
  PageView& operator=(const PageView&) = delete;

  // Shows `document` (null shows nothing). The view shares its ownership.
  void SetDocument(std::shared_ptr<Document> document);
  // Shows a document the caller owns; it must outlive the view or be
  // replaced (SetDocument/AttachDocument) before it dies.
  void AttachDocument(Document& document);
  const std::shared_ptr<Document>& document() const { return document_; }

  void SetViewportSize(int width, int height);
  void Paint(const PaintTarget& target, const Rect& dirty);
  // What changed on screen since the last call (view coordinates; empty
  // when nothing did): the areas invalidated, and after a document change
  // the boxes its new layout moved or repainted. Lays out when needed.
  Rect TakeDamage();

  // The open <select> list: painted over the page by Paint (the default),
  // or kept out of it and painted on its own by PaintPopup, as a pop-up
  // widget of its own. PopupRect is its box in view coordinates, empty
  // while it is closed.
  void SetPopupSeparate(bool separate);
  Rect PopupRect() const;
  // Paints the list into `target`, its top-left corner at the target's.
  void PaintPopup(const PaintTarget& target);

  void MouseMove(int x, int y);
  void MouseDown(int x, int y, MouseButton button, Modifiers modifiers);
  void MouseUp(int x, int y, MouseButton button, Modifiers modifiers);
  void MouseLeave();
  // The mouse capture went elsewhere: a press under way no longer clicks.
  void CaptureLost();
  // `delta` in WHEEL_DELTA units, positive away from the user (up).
  void MouseWheel(int x, int y, int delta);
  // True when the view used the key.
  bool KeyDown(int virtual_key, Modifiers modifiers);
  void Char(char16_t unit);
  void SetWindowFocus(bool focused);
  void Tick(std::uint64_t now_ms);

  void SetImageData(const std::string& url, std::string_view bytes);
  void SetImageFailed(const std::string& url);
  // The answer to OnFileChooserRequested: the chosen file, or "" for none.
  void SetChosenFile(const NodePtr& input, const std::string& path);

  // Scrolling: the offset of the view's top in the document.
  int scroll_y() const { return scroll_y_; }
  void ScrollTo(int y);
  int content_height();

  // The element under a view point (the deepest one), or null.
  NodePtr HitTest(int x, int y);
  CursorKind CursorAt(int x, int y);
  PointContext ContextAt(int x, int y);
  // The caret of the focused text field in view coordinates (for placing
  // the input method's window); empty when there is none.
  Rect CaretRect();
  // The box an element takes, in view coordinates (empty when not shown).
  Rect ElementRect(const NodePtr& element);
  std::vector<ChildFrameBox> ChildFrames();
  const NodePtr& focused_node() const { return focused_; }
  // Focus from script or the browser: null clears the focus. By value:
  // listeners of blur and focus may change what a reference points at.
  void SetFocusedNode(NodePtr node, FocusScroll scroll = FocusScroll::kIntoView);

  // DocumentObserver:
  void OnDocumentChanged() override;
  // DocumentHost:
  void ActivateElement(const NodePtr& target, UserGesture gesture) override;
  void FocusElement(const NodePtr& target) override;
  void BlurElement(const NodePtr& target) override;
  void SubmitForm(const NodePtr& form) override;

 private:
  // Debug builds check that every call comes on the creating thread.
  void CheckThread() const;
  void EnsureLayout();
  void RepaintAll();
  // Asks the delegate for a paint, once until the next paint.
  void RequestPaint();
  // Adds a document rectangle's visible part to the damage, and returns it.
  Rect DamageDocumentRect(const Rect& rect);
  void PopupChanged();
  // The open <select> list: opening, choosing a row, closing.
  void OpenPopup(const NodePtr& select);
  void ChoosePopupRow(int row);
  void ClosePopup();
  bool PopupKey(int virtual_key);
  void InvalidateAll();
  void InvalidateDocumentRect(const Rect& rect);
  int MaxScroll();
  void Submit(const NodePtr& form, const NodePtr& submitter, UserGesture gesture);
  void MoveFocus(bool forward);
  void ClickAt(const NodePtr& target, UserGesture gesture);
  // Text field editing.
  bool EditKey(int virtual_key, Modifiers modifiers);
  void InsertText(std::u16string_view text);
  void SetFieldText(std::u16string text, std::size_t caret);
  std::u16string FieldText() const;
  std::size_t CaretFromPoint(const NodePtr& field, int x, int y);
  void RestartBlink();
  void InvalidateFocused();
  void ScrollIntoView(const NodePtr& node);

  ViewDelegate* delegate_;
  const unsigned long thread_id_;
  std::shared_ptr<Document> document_;
  // Shared by the views of one thread (see SharedFonts in the source).
  std::shared_ptr<GdiFonts> fonts_;
  std::unique_ptr<ImageStore> images_;
  std::unique_ptr<SelectPopup> popup_;
  LayoutResult layout_;
  int width_ = 0;
  int height_ = 0;
  int scroll_y_ = 0;
  NodePtr focused_;
  bool window_focused_ = true;
  // The text field being edited: caret in UTF-16 units, the value when it
  // took the focus (for "change"), and its horizontal scroll.
  std::size_t caret_ = 0;
  std::string value_at_focus_;
  int field_scroll_ = 0;
  bool caret_visible_ = true;
  std::uint64_t last_blink_ = 0;
  std::uint64_t now_ = 0;
  NodePtr pressed_;
  CursorKind cursor_ = CursorKind::kArrow;
  bool pending_invalidate_ = false;
  bool layout_dirty_ = true;
  // The next layout compares its display list with the last one.
  bool diff_pending_ = false;
  // What changed on screen since TakeDamage, in view coordinates.
  Rect damage_;
  bool separate_popup_ = false;
  // The first half of a character outside the BMP, until its second.
  char16_t pending_high_surrogate_ = 0;
  // The painting surface: a DIB section the size of the viewport.
  struct Surface;
  std::unique_ptr<Surface> surface_;
};

}  // namespace cef_standin::page
