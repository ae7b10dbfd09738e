#include "runtime/standin/page/page_view.h"

#include <windows.h>

#include <algorithm>
#include <cassert>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>

#include "runtime/standin/page/charset.h"
#include "runtime/standin/page/display_diff.h"
#include "runtime/standin/page/form_submission.h"
#include "runtime/standin/page/gdi_fonts.h"
#include "runtime/standin/page/image_store.h"
#include "runtime/standin/page/page_painter.h"
#include "runtime/standin/page/select_popup.h"

namespace cef_standin::page {

namespace {

constexpr int kLineScroll = 40;
constexpr int kWheelScroll = 100;

bool IsSubmitControl(const Node& node) {
  if (node.Is("button")) {
    const std::string type = node.AttributeOr("type", "submit");
    return type != "button" && type != "reset";
  }
  return node.Is("input") && (node.InputType() == "submit" || node.InputType() == "image");
}

// A thin thumb at the right edge shows where the view is in a page taller
// than it; it takes no room and no input (wheel and keys scroll).
void PaintScrollIndicator(HDC dc, int width, int height, int content, int scroll) {
  if (content <= height || height <= 0)
    return;
  const long long track = height - 4;
  const int thumb = std::max(24, static_cast<int>(track * height / content));
  const int top = 2 + static_cast<int>((track - thumb) * scroll / std::max(1, content - height));
  const RECT rect{width - 8, top, width - 3, top + thumb};
  SetDCBrushColor(dc, RGB(0xA8, 0xA8, 0xA8));
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace

// The view's own drawing surface: GDI paints here, and the dirty part is
// copied to the caller's buffer.
struct PageView::Surface {
  Surface(int w, int h) : width(w), height(h) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap)
      old = SelectObject(dc, bitmap);
  }
  ~Surface() {
    if (old)
      SelectObject(dc, old);
    if (bitmap)
      DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  int width;
  int height;
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  void* bits = nullptr;
};

namespace {

// The fonts of the views of the calling thread. Every page load makes a
// view, and making its fonts (the system's font match, the character
// widths) anew cost about a millisecond a load; the views of one thread
// share them instead. Another thread's views get fonts of their own; the
// last thread to ask keeps them.
std::shared_ptr<GdiFonts> SharedFonts() {
  static std::mutex mutex;
  static DWORD owner = 0;
  static auto* shared = new std::weak_ptr<GdiFonts>;  // never destroyed
  std::lock_guard<std::mutex> lock(mutex);
  std::shared_ptr<GdiFonts> fonts = shared->lock();
  if (!fonts || owner != GetCurrentThreadId()) {
    fonts = std::make_shared<GdiFonts>();
    *shared = fonts;
    owner = GetCurrentThreadId();
  }
  return fonts;
}

}  // namespace

PageView::PageView(ViewDelegate* delegate)
    : delegate_(delegate),
      thread_id_(GetCurrentThreadId()),
      fonts_(SharedFonts()),
      images_(std::make_unique<ImageStore>()),
      popup_(std::make_unique<SelectPopup>()) {
  // Controls, images and translucent fills paint through GDI+.
  EnsureGdiplus();
}

PageView::~PageView() {
  if (document_) {
    document_->SetObserver(nullptr);
    document_->SetHost(nullptr);
  }
}

void PageView::SetDocument(std::shared_ptr<Document> document) {
  if (document_) {
    document_->SetObserver(nullptr);
    document_->SetHost(nullptr);
  }
  document_ = std::move(document);
  if (document_) {
    document_->SetObserver(this);
    document_->SetHost(this);
  }
  focused_.reset();
  pressed_.reset();
  popup_->Close();
  scroll_y_ = 0;
  layout_dirty_ = true;
  InvalidateAll();
}

void PageView::AttachDocument(Document& document) {
  // An empty owner: the aliasing pointer refers to `document` without
  // owning it.
  SetDocument(std::shared_ptr<Document>(std::shared_ptr<Document>(), &document));
}

void PageView::OnDocumentChanged() {
  // What changed on screen is known once the document is laid out again:
  // the next layout compares its display list with this one.
  layout_dirty_ = true;
  diff_pending_ = true;
  RequestPaint();
}

void PageView::RequestPaint() {
  // One request until the next paint: a page load changes the document
  // thousands of times.
  if (pending_invalidate_)
    return;
  pending_invalidate_ = true;
  delegate_->OnInvalidate({0, 0, width_, height_});
}

void PageView::InvalidateAll() {
  damage_ = {0, 0, width_, height_};
  RequestPaint();
}

Rect PageView::TakeDamage() {
  EnsureLayout();
  pending_invalidate_ = false;
  const Rect damage = damage_.Intersection({0, 0, width_, height_});
  damage_ = {};
  return damage;
}

void PageView::PopupChanged() {
  if (separate_popup_)
    delegate_->OnPopupChanged();
  else
    RepaintAll();
}

void PageView::SetPopupSeparate(bool separate) {
  if (separate == separate_popup_)
    return;
  separate_popup_ = separate;
  if (popup_->IsOpen())
    RepaintAll();
}

Rect PageView::PopupRect() const {
  return popup_->IsOpen() ? popup_->rect() : Rect{};
}

void PageView::PaintPopup(const PaintTarget& target) {
  CheckThread();
  if (!popup_->IsOpen() || !target.pixels || target.width <= 0 || target.height <= 0 ||
      target.stride < target.width * 4)
    return;
  const Rect rect = popup_->rect();
  const int width = std::min(rect.width, target.width);
  const int height = std::min(rect.height, target.height);
  Surface surface(width, height);
  if (!surface.bits)
    return;
  // The list paints itself at its place in the view.
  SetViewportOrgEx(surface.dc, -rect.x, -rect.y, nullptr);
  popup_->Paint(surface.dc, *fonts_);
  GdiFlush();
  const auto* source = static_cast<const std::uint8_t*>(surface.bits);
  auto* destination = static_cast<std::uint8_t*>(target.pixels);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* to =
        destination + static_cast<std::size_t>(y) * static_cast<std::size_t>(target.stride);
    std::memcpy(to, source + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4,
                static_cast<std::size_t>(width) * 4);
    for (int x = 0; x < width; ++x)
      to[x * 4 + 3] = 0xFF;
  }
}

void PageView::RepaintAll() {
  pending_invalidate_ = false;
  InvalidateAll();
}

void PageView::OpenPopup(const NodePtr& select) {
  FontKey font;
  for (const DisplayItem& item : layout_.items) {
    if (item.node == select && item.kind == ItemKind::kControl)
      font = item.font;
  }
  const Rect anchor = ElementRect(select);
  if (anchor.IsEmpty())
    return;
  popup_->Open(select, anchor, {width_, height_}, *fonts_, font);
  PopupChanged();
}

void PageView::ClosePopup() {
  if (!popup_->IsOpen())
    return;
  popup_->Close();
  PopupChanged();
}

void PageView::ChoosePopupRow(int row) {
  const NodePtr select = popup_->select();
  const NodePtr chosen = popup_->OptionAt(row);
  ClosePopup();
  if (!select || !chosen || chosen->Checked() || !document_)
    return;
  for (const NodePtr& option : select->QuerySelectorAll("option"))
    option->SetChecked(option == chosen);
  document_->DispatchEvent(select, EventType::kInput);
  document_->DispatchEvent(select, EventType::kChange);
}

bool PageView::PopupKey(int virtual_key) {
  switch (virtual_key) {
    case VK_UP:
    case VK_DOWN:
      popup_->MoveHighlight(virtual_key == VK_UP ? -1 : 1);
      PopupChanged();
      break;
    case VK_RETURN:
    case VK_SPACE:
      ChoosePopupRow(popup_->highlighted());
      break;
    default:
      ClosePopup();
      break;
  }
  return true;
}

void PageView::InvalidateDocumentRect(const Rect& rect) {
  const Rect visible = DamageDocumentRect(rect);
  if (!pending_invalidate_ && !visible.IsEmpty())
    delegate_->OnInvalidate(visible);
}

Rect PageView::DamageDocumentRect(const Rect& rect) {
  if (rect.IsEmpty())
    return {};
  // Focus rings and glyphs reach a little past their boxes.
  const Rect view{rect.x - 2, rect.y - scroll_y_ - 2, rect.width + 4, rect.height + 4};
  const Rect visible = view.Intersection({0, 0, width_, height_});
  damage_ = damage_.Union(visible);
  return visible;
}

void PageView::CheckThread() const {
  assert(GetCurrentThreadId() == thread_id_ && "the page view lives on the renderer thread");
}

void PageView::EnsureLayout() {
  CheckThread();
  if (!document_ || !layout_dirty_)
    return;
  layout_dirty_ = false;
  const bool diff = std::exchange(diff_pending_, false);
  LayoutResult before;
  if (diff)
    before = std::move(layout_);
  const ImageStore& images = *images_;
  layout_ = LayOut(*document_, width_, *fonts_,
                   [&images](const std::string& url) { return images.NaturalSize(url); });
  const int scroll_before = scroll_y_;
  scroll_y_ = std::clamp(scroll_y_, 0, MaxScroll());
  if (diff) {
    const std::optional<Rect> changed = ChangedArea(before, layout_);
    if (!changed || scroll_y_ != scroll_before)
      damage_ = {0, 0, width_, height_};
    else
      DamageDocumentRect(*changed);
  }
  std::vector<std::string> fresh = images_->Request(layout_.image_urls);
  if (popup_->IsOpen() && !popup_->select()->IsConnected()) {
    if (!separate_popup_)
      damage_ = damage_.Union(popup_->rect());
    popup_->Close();
    if (separate_popup_)
      delegate_->OnPopupChanged();
  }
  if (focused_ && !focused_->IsConnected()) {
    focused_.reset();
    delegate_->OnFocusedNodeChanged(nullptr);
  }
  if (!fresh.empty())
    delegate_->OnImagesNeeded(fresh);
}

int PageView::MaxScroll() {
  return std::max(0, layout_.content_height - height_);
}

void PageView::SetViewportSize(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == width_ && height == height_)
    return;
  if (width != width_)
    layout_dirty_ = true;
  width_ = width;
  height_ = height;
  pending_invalidate_ = false;
  InvalidateAll();
}

void PageView::Paint(const PaintTarget& target, const Rect& dirty) {
  CheckThread();
  EnsureLayout();
  pending_invalidate_ = false;
  if (!target.pixels || target.width <= 0 || target.height <= 0 || target.stride < target.width * 4)
    return;
  if (width_ <= 0 || height_ <= 0)
    return;
  if (!surface_ || surface_->width != width_ || surface_->height != height_)
    surface_ = std::make_unique<Surface>(width_, height_);
  if (!surface_->bits)
    return;
  const Rect area =
      dirty.Intersection({0, 0, std::min(width_, target.width), std::min(height_, target.height)});
  if (area.IsEmpty())
    return;
  PaintState state;
  state.focused = focused_.get();
  state.pressed = pressed_.get();
  state.window_focused = window_focused_;
  state.caret_visible = caret_visible_;
  state.caret = caret_;
  if (focused_ && focused_->IsTextField()) {
    const Rect box = ElementRect(focused_);
    const Rect document_box{box.x, box.y + scroll_y_, box.width, box.height};
    FontKey font;
    for (const DisplayItem& item : layout_.items) {
      if (item.node == focused_ && item.kind == ItemKind::kControl)
        font = item.font;
    }
    field_scroll_ = FieldScrollFor(*focused_, document_box, caret_, field_scroll_, *fonts_, font);
  }
  state.field_scroll = field_scroll_;
  HDC dc = surface_->dc;
  HRGN clip = CreateRectRgn(area.x, area.y, area.right(), area.bottom());
  SelectClipRgn(dc, clip);
  DeleteObject(clip);
  PaintPage(dc, layout_, scroll_y_, area, state, *fonts_, *images_);
  PaintScrollIndicator(dc, width_, height_, layout_.content_height, scroll_y_);
  if (!separate_popup_)
    popup_->Paint(dc, *fonts_);
  SelectClipRgn(dc, nullptr);
  GdiFlush();
  const auto* source = static_cast<const std::uint8_t*>(surface_->bits);
  auto* destination = static_cast<std::uint8_t*>(target.pixels);
  const std::size_t source_stride = static_cast<std::size_t>(width_) * 4;
  for (int y = area.y; y < area.bottom(); ++y) {
    const std::uint8_t* from =
        source + static_cast<std::size_t>(y) * source_stride + static_cast<std::size_t>(area.x) * 4;
    std::uint8_t* to = destination +
                       static_cast<std::size_t>(y) * static_cast<std::size_t>(target.stride) +
                       static_cast<std::size_t>(area.x) * 4;
    std::memcpy(to, from, static_cast<std::size_t>(area.width) * 4);
    for (int x = 0; x < area.width; ++x)
      to[x * 4 + 3] = 0xFF;
  }
}

NodePtr PageView::HitTest(int x, int y) {
  EnsureLayout();
  const int document_y = y + scroll_y_;
  for (auto it = layout_.items.rbegin(); it != layout_.items.rend(); ++it) {
    if (it->kind == ItemKind::kBullet || !it->node)
      continue;
    if (it->rect.Contains(x, document_y))
      return it->node;
  }
  return nullptr;
}

CursorKind PageView::CursorAt(int x, int y) {
  const NodePtr node = HitTest(x, y);
  for (const Node* n = node.get(); n; n = n->parent()) {
    if (n->Is("a") && n->HasAttribute("href"))
      return CursorKind::kHand;
    if (n->IsTextField())
      return CursorKind::kIBeam;
    if (n->Is("input") || n->Is("button") || n->Is("select"))
      return CursorKind::kArrow;
  }
  return CursorKind::kArrow;
}

PointContext PageView::ContextAt(int x, int y) {
  PointContext context;
  context.node = HitTest(x, y);
  for (const Node* n = context.node.get(); n && document_; n = n->parent()) {
    if (n->Is("a") && n->HasAttribute("href") && context.link_url.empty())
      context.link_url = document_->ResolveUrl(n->AttributeOr("href"));
    if (n->Is("img") && n->HasAttribute("src"))
      context.image_url = document_->ResolveUrl(n->AttributeOr("src"));
  }
  context.editable = context.node && context.node->IsTextField() &&
                     !context.node->HasAttribute("readonly") &&
                     !context.node->HasAttribute("disabled");
  return context;
}

Rect PageView::CaretRect() {
  EnsureLayout();
  if (!focused_ || !focused_->IsTextField())
    return {};
  const Rect inner = FieldTextRect(ElementRect(focused_));
  FontKey font;
  for (const DisplayItem& item : layout_.items) {
    if (item.node == focused_ && item.kind == ItemKind::kControl)
      font = item.font;
  }
  const std::u16string text = FieldDisplayText(*focused_);
  const std::size_t caret = std::min(caret_, text.size());
  const int line = LineHeight(fonts_->Metrics(font), font.size);
  if (focused_->Is("textarea")) {
    const std::size_t line_start = caret == 0 ? 0 : text.rfind(u'\n', caret - 1);
    const std::size_t start = line_start == std::u16string::npos || caret == 0 ? 0 : line_start + 1;
    const int row = static_cast<int>(
        std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(caret), u'\n'));
    const int x = fonts_->TextWidth(font, std::u16string_view(text).substr(start, caret - start));
    return {inner.x + x, inner.y + row * line, 1, line};
  }
  const int x = fonts_->TextWidth(font, std::u16string_view(text).substr(0, caret));
  return {inner.x + x - field_scroll_, inner.y + (inner.height - line) / 2, 1, line};
}

Rect PageView::ElementRect(const NodePtr& element_in) {
  // A copy: layout may let the focused node go, and callers pass focused_.
  const NodePtr element = element_in;
  EnsureLayout();
  Rect box;
  if (!element)
    return box;
  for (const DisplayItem& item : layout_.items) {
    if (item.node && !item.rect.IsEmpty() && element->IsInclusiveAncestorOf(item.node.get()))
      box = box.Union(item.rect);
  }
  if (box.IsEmpty())
    return {};
  box.y -= scroll_y_;
  return box;
}

std::vector<ChildFrameBox> PageView::ChildFrames() {
  EnsureLayout();
  std::vector<ChildFrameBox> frames;
  for (const DisplayItem& item : layout_.items) {
    if (item.kind == ItemKind::kFrame)
      frames.push_back(
          {item.node, {item.rect.x, item.rect.y - scroll_y_, item.rect.width, item.rect.height}});
  }
  return frames;
}

int PageView::content_height() {
  EnsureLayout();
  return layout_.content_height;
}

void PageView::ScrollTo(int y) {
  EnsureLayout();
  y = std::clamp(y, 0, MaxScroll());
  if (y == scroll_y_)
    return;
  popup_->Close();
  scroll_y_ = y;
  pending_invalidate_ = false;
  InvalidateAll();
}

void PageView::ScrollIntoView(const NodePtr& node) {
  const Rect box = ElementRect(node);
  if (box.IsEmpty())
    return;
  if (box.y < 0)
    ScrollTo(scroll_y_ + box.y - 8);
  else if (box.bottom() > height_)
    ScrollTo(scroll_y_ + std::min(box.y, box.bottom() - height_ + 8));
}

void PageView::MouseMove(int x, int y) {
  const int row = popup_->RowAt(x, y);
  if (row >= 0 && row != popup_->highlighted()) {
    popup_->Highlight(row);
    PopupChanged();
  }
  const CursorKind cursor = row >= 0 ? CursorKind::kArrow : CursorAt(x, y);
  if (cursor != cursor_) {
    cursor_ = cursor;
    delegate_->OnCursorChanged(cursor);
  }
}

void PageView::CaptureLost() {
  if (const NodePtr pressed = std::move(pressed_)) {
    pressed_.reset();
    const Rect box = ElementRect(pressed);
    InvalidateDocumentRect({box.x, box.y + scroll_y_, box.width, box.height});
  }
  MouseLeave();
}

void PageView::MouseLeave() {
  if (cursor_ != CursorKind::kArrow) {
    cursor_ = CursorKind::kArrow;
    delegate_->OnCursorChanged(cursor_);
  }
}

void PageView::MouseWheel(int, int, int delta) {
  ScrollTo(scroll_y_ - delta * kWheelScroll / WHEEL_DELTA);
}

void PageView::MouseDown(int x, int y, MouseButton button, Modifiers) {
  if (popup_->IsOpen()) {
    // The open list takes the press: a row chooses, elsewhere closes.
    const int row = popup_->RowAt(x, y);
    if (row >= 0 && button == MouseButton::kLeft)
      ChoosePopupRow(row);
    else
      ClosePopup();
    return;
  }
  if (button != MouseButton::kLeft)
    return;
  const NodePtr node = HitTest(x, y);
  pressed_ = node;
  NodePtr focusable;
  for (Node* n = node.get(); n; n = n->parent()) {
    if (n->IsFocusable()) {
      focusable = n->SharedFromThis();
      break;
    }
  }
  // A press focuses where it is, as browsers do: scrolling the element
  // into view would move it away from under the release, and the click
  // would be lost.
  SetFocusedNode(focusable, FocusScroll::kNone);
  if (focused_ && focused_->IsTextField()) {
    caret_ = CaretFromPoint(focused_, x, y);
    RestartBlink();
  }
  if (node) {
    const Rect box = ElementRect(node);
    InvalidateDocumentRect({box.x, box.y + scroll_y_, box.width, box.height});
  }
}

void PageView::MouseUp(int x, int y, MouseButton button, Modifiers) {
  if (button != MouseButton::kLeft)
    return;
  const NodePtr pressed = std::move(pressed_);
  pressed_.reset();
  const NodePtr node = HitTest(x, y);
  if (pressed) {
    const Rect box = ElementRect(pressed);
    InvalidateDocumentRect({box.x, box.y + scroll_y_, box.width, box.height});
  }
  // A click needs press and release on the same element (or inside it).
  if (!node || !pressed ||
      !(pressed->IsInclusiveAncestorOf(node.get()) || node->IsInclusiveAncestorOf(pressed.get())))
    return;
  ClickAt(pressed->IsInclusiveAncestorOf(node.get()) ? node : pressed, UserGesture::kYes);
}

void PageView::ClickAt(const NodePtr& target, UserGesture gesture) {
  if (!document_ || !target)
    return;
  for (const Node* n = target.get(); n; n = n->parent()) {
    if (n->IsElement() && n->HasAttribute("disabled") &&
        (n->Is("input") || n->Is("button") || n->Is("select") || n->Is("textarea")))
      return;
  }
  if (document_->DispatchEvent(target, EventType::kClick) == EventOutcome::kProceed)
    ActivateElement(target, gesture);
}

void PageView::ActivateElement(const NodePtr& target, UserGesture gesture) {
  if (!document_ || !target)
    return;
  for (Node* n = target.get(); n; n = n->parent()) {
    if (!n->IsElement())
      continue;
    const NodePtr node = n->SharedFromThis();
    if (n->Is("a") && n->HasAttribute("href")) {
      const std::string href = n->AttributeOr("href");
      if (href.rfind("javascript:", 0) == 0)
        return;  // script addresses are the script engine's business
      NavigationRequest request;
      request.url = document_->ResolveUrl(href);
      request.target = n->AttributeOr("target");
      request.gesture = gesture;
      delegate_->OnNavigate(request);
      return;
    }
    if (n->Is("input")) {
      const std::string type = n->InputType();
      if (type == "checkbox") {
        n->SetChecked(!n->Checked());
        document_->DispatchEvent(node, EventType::kInput);
        document_->DispatchEvent(node, EventType::kChange);
      } else if (type == "radio") {
        if (!n->Checked()) {
          const Node* form = n->ClosestAncestor("form");
          const Node* scope = form ? form : document_->document_element().get();
          for (const NodePtr& other : scope->QuerySelectorAll("input")) {
            if (other.get() != n && other->InputType() == "radio" &&
                other->AttributeOr("name") == n->AttributeOr("name"))
              other->SetChecked(false);
          }
          n->SetChecked(true);
          document_->DispatchEvent(node, EventType::kInput);
          document_->DispatchEvent(node, EventType::kChange);
        }
      } else if (type == "file") {
        delegate_->OnFileChooserRequested(node);
      } else if (IsSubmitControl(*n)) {
        if (Node* form = n->ClosestAncestor("form"))
          Submit(form->SharedFromThis(), node, gesture);
      }
      return;
    }
    if (n->Is("button")) {
      if (IsSubmitControl(*n)) {
        if (Node* form = n->ClosestAncestor("form"))
          Submit(form->SharedFromThis(), node, gesture);
      }
      return;
    }
    if (n->Is("select")) {
      // The user's click opens the list; script's click() does not.
      if (gesture == UserGesture::kYes)
        OpenPopup(node);
      return;
    }
    if (n->Is("label")) {
      NodePtr control;
      if (const std::string* id = n->GetAttribute("for"))
        control = document_->GetElementById(*id);
      else
        control = n->QuerySelector("input, textarea, select, button");
      if (control && control.get() != target.get()) {
        if (control->IsTextField())
          SetFocusedNode(control);
        else
          ClickAt(control, gesture);
      }
      return;
    }
  }
}

void PageView::Submit(const NodePtr& form, const NodePtr& submitter, UserGesture gesture) {
  if (document_->DispatchEvent(form, EventType::kSubmit) == EventOutcome::kDefaultPrevented)
    return;
  const FormSubmission submission =
      BuildFormSubmission(*form, submitter.get(), document_->BaseUrl());
  NavigationRequest request;
  request.url = submission.url;
  request.target = submission.target;
  request.gesture = gesture;
  request.method = submission.method;
  request.body = submission.body;
  request.content_type = submission.content_type;
  delegate_->OnNavigate(request);
}

void PageView::SubmitForm(const NodePtr& form) {
  const FormSubmission submission = BuildFormSubmission(*form, nullptr, document_->BaseUrl());
  NavigationRequest request;
  request.url = submission.url;
  request.target = submission.target;
  request.method = submission.method;
  request.body = submission.body;
  request.content_type = submission.content_type;
  delegate_->OnNavigate(request);
}

void PageView::FocusElement(const NodePtr& target) {
  if (target && target->IsFocusable() && target->IsConnected())
    SetFocusedNode(target);
}

void PageView::BlurElement(const NodePtr& target) {
  if (target && target == focused_)
    SetFocusedNode(nullptr);
}

void PageView::SetFocusedNode(NodePtr node, FocusScroll scroll) {
  if (node == focused_ || !document_)
    return;
  const NodePtr old = focused_;
  if (old) {
    InvalidateFocused();
    if (old->IsTextField() && old->Value() != value_at_focus_)
      document_->DispatchEvent(old, EventType::kChange);
  }
  focused_ = node;
  if (old)
    document_->DispatchEvent(old, EventType::kBlur);
  if (focused_ != node)
    return;  // a blur listener moved the focus itself
  field_scroll_ = 0;
  pending_high_surrogate_ = 0;
  if (focused_) {
    value_at_focus_ = focused_->Value();
    caret_ = Utf8ToUtf16(value_at_focus_).size();
    RestartBlink();
    document_->DispatchEvent(focused_, EventType::kFocus);
    if (focused_ == node) {
      if (scroll == FocusScroll::kIntoView)
        ScrollIntoView(focused_);
      InvalidateFocused();
    }
  }
  delegate_->OnFocusedNodeChanged(focused_);
}

void PageView::MoveFocus(bool forward) {
  EnsureLayout();
  const std::vector<NodePtr>& order = layout_.focus_order;
  if (order.empty())
    return;
  auto it = std::find(order.begin(), order.end(), focused_);
  std::size_t index;
  if (it == order.end())
    index = forward ? 0 : order.size() - 1;
  else if (forward)
    index = (static_cast<std::size_t>(it - order.begin()) + 1) % order.size();
  else
    index = (static_cast<std::size_t>(it - order.begin()) + order.size() - 1) % order.size();
  SetFocusedNode(order[index]);
  // Tabbing into a field puts the caret at its end.
  if (focused_ && focused_->IsTextField())
    caret_ = FieldText().size();
}

bool PageView::KeyDown(int virtual_key, Modifiers modifiers) {
  EnsureLayout();
  if (popup_->IsOpen())
    return PopupKey(virtual_key);
  if (virtual_key == VK_TAB) {
    MoveFocus(!modifiers.shift);
    return true;
  }
  if (focused_ && focused_->IsTextField() && EditKey(virtual_key, modifiers))
    return true;
  if (focused_ && (virtual_key == VK_RETURN || virtual_key == VK_SPACE)) {
    const bool link = focused_->Is("a");
    if (virtual_key == VK_RETURN || !link) {
      ClickAt(focused_, UserGesture::kYes);
      return true;
    }
  }
  if (focused_ && focused_->Is("select") && (virtual_key == VK_UP || virtual_key == VK_DOWN)) {
    const std::vector<NodePtr> options = focused_->QuerySelectorAll("option");
    const std::string current = focused_->Value();
    std::size_t index = 0;
    while (index < options.size() && options[index]->Value() != current)
      ++index;
    if (index < options.size()) {
      const std::size_t next = virtual_key == VK_DOWN ? std::min(index + 1, options.size() - 1)
                                                      : (index > 0 ? index - 1 : 0);
      if (next != index) {
        for (std::size_t i = 0; i < options.size(); ++i)
          options[i]->SetChecked(i == next);
        document_->DispatchEvent(focused_, EventType::kInput);
        document_->DispatchEvent(focused_, EventType::kChange);
      }
    }
    return true;
  }
  const int page = std::max(kLineScroll, height_ - kLineScroll);
  switch (virtual_key) {
    case VK_UP:
      ScrollTo(scroll_y_ - kLineScroll);
      return true;
    case VK_DOWN:
      ScrollTo(scroll_y_ + kLineScroll);
      return true;
    case VK_PRIOR:
      ScrollTo(scroll_y_ - page);
      return true;
    case VK_NEXT:
    case VK_SPACE:
      ScrollTo(scroll_y_ + (modifiers.shift ? -page : page));
      return true;
    case VK_HOME:
      ScrollTo(0);
      return true;
    case VK_END:
      ScrollTo(MaxScroll());
      return true;
    default:
      return false;
  }
}

std::u16string PageView::FieldText() const {
  return focused_ ? Utf8ToUtf16(focused_->Value()) : std::u16string();
}

void PageView::SetFieldText(std::u16string text, std::size_t caret) {
  const NodePtr field = focused_;
  caret_ = std::min(caret, text.size());
  field->SetValue(Utf16ToUtf8(text));
  RestartBlink();
  InvalidateFocused();
  document_->DispatchEvent(field, EventType::kInput);
}

bool PageView::EditKey(int virtual_key, Modifiers modifiers) {
  std::u16string text = FieldText();
  caret_ = std::min(caret_, text.size());
  const bool multi_line = focused_->Is("textarea");
  auto is_low = [](char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
  switch (virtual_key) {
    case VK_LEFT:
      if (caret_ > 0)
        caret_ -= (caret_ > 1 && is_low(text[caret_ - 1])) ? 2 : 1;
      break;
    case VK_RIGHT:
      if (caret_ < text.size())
        caret_ += (caret_ + 1 < text.size() && is_low(text[caret_ + 1])) ? 2 : 1;
      break;
    case VK_HOME:
      // The start of the caret's line (rfind's npos + 1 is 0).
      if (multi_line && !modifiers.control && caret_ > 0)
        caret_ = text.rfind(u'\n', caret_ - 1) + 1;
      else
        caret_ = 0;
      break;
    case VK_END:
      if (multi_line && !modifiers.control) {
        const std::size_t end = text.find(u'\n', caret_);
        caret_ = end == std::u16string::npos ? text.size() : end;
      } else {
        caret_ = text.size();
      }
      break;
    case VK_BACK:
      if (caret_ > 0) {
        const std::size_t count = (caret_ > 1 && is_low(text[caret_ - 1])) ? 2 : 1;
        text.erase(caret_ - count, count);
        SetFieldText(std::move(text), caret_ - count);
      }
      return true;
    case VK_DELETE:
      if (caret_ < text.size()) {
        const std::size_t count = (caret_ + 1 < text.size() && is_low(text[caret_ + 1])) ? 2 : 1;
        text.erase(caret_, count);
        SetFieldText(std::move(text), caret_);
      }
      return true;
    case VK_RETURN:
      if (multi_line) {
        InsertText(u"\n");
      } else if (Node* form_node = focused_->ClosestAncestor("form")) {
        // Implicit submission, by the form's first submit button. Held
        // shared: the change listener may take the form out of the page.
        const NodePtr form = form_node->SharedFromThis();
        const NodePtr field = focused_;
        NodePtr submitter;
        for (const NodePtr& control : form->QuerySelectorAll("input, button")) {
          if (IsSubmitControl(*control)) {
            submitter = control;
            break;
          }
        }
        if (submitter && submitter->HasAttribute("disabled"))
          return true;
        if (field->Value() != value_at_focus_) {
          value_at_focus_ = field->Value();
          document_->DispatchEvent(field, EventType::kChange);
        }
        Submit(form, submitter, UserGesture::kYes);
      }
      return true;
    case VK_UP:
    case VK_DOWN: {
      if (!multi_line)
        return true;  // never scrolling the page from a field
      // The same column on the line above or below, or its end.
      const std::size_t line_start = caret_ == 0 ? 0 : text.rfind(u'\n', caret_ - 1) + 1;
      const std::size_t column = caret_ - line_start;
      if (virtual_key == VK_UP) {
        if (line_start == 0)
          break;
        const std::size_t above = line_start == 1 ? 0 : text.rfind(u'\n', line_start - 2) + 1;
        caret_ = std::min(above + column, line_start - 1);
      } else {
        const std::size_t line_end = text.find(u'\n', caret_);
        if (line_end == std::u16string::npos)
          break;
        const std::size_t below_end = std::min(text.find(u'\n', line_end + 1), text.size());
        caret_ = std::min(line_end + 1 + column, below_end);
      }
      break;
    }
    case VK_SPACE:
      return true;  // typed as a character, never scrolling the page
    default:
      return false;
  }
  RestartBlink();
  InvalidateFocused();
  return true;
}

void PageView::InsertText(std::u16string_view insert) {
  std::u16string text = FieldText();
  caret_ = std::min(caret_, text.size());
  const std::string* max_length = focused_->GetAttribute("maxlength");
  if (max_length) {
    const long limit = std::strtol(max_length->c_str(), nullptr, 10);
    if (limit >= 0 && text.size() + insert.size() > static_cast<std::size_t>(limit))
      return;
  }
  text.insert(caret_, insert);
  SetFieldText(std::move(text), caret_ + insert.size());
}

void PageView::Char(char16_t unit) {
  if (!focused_ || !focused_->IsTextField() || focused_->HasAttribute("readonly"))
    return;
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    pending_high_surrogate_ = unit;
    return;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (pending_high_surrogate_) {
      const char16_t pair[2] = {pending_high_surrogate_, unit};
      pending_high_surrogate_ = 0;
      InsertText(std::u16string_view(pair, 2));
    }
    return;
  }
  pending_high_surrogate_ = 0;
  // Control characters come with their keys (Backspace, Return, Tab).
  if (unit < 0x20 || unit == 0x7F)
    return;
  InsertText(std::u16string_view(&unit, 1));
}

std::size_t PageView::CaretFromPoint(const NodePtr& field_in, int x, int y) {
  const NodePtr field = field_in;  // see ElementRect
  const Rect inner = FieldTextRect(ElementRect(field));
  const std::u16string text = FieldDisplayText(*field);
  FontKey font;
  for (const DisplayItem& item : layout_.items) {
    if (item.node == field && item.kind == ItemKind::kControl)
      font = item.font;
  }
  std::size_t start = 0;
  std::size_t end = text.size();
  int origin = inner.x - (field == focused_ ? field_scroll_ : 0);
  if (field->Is("textarea")) {
    origin = inner.x;
    const int line = LineHeight(fonts_->Metrics(font), font.size);
    int row = std::max(0, (y - inner.y) / std::max(1, line));
    while (row-- > 0) {
      const std::size_t next = text.find(u'\n', start);
      if (next == std::u16string::npos)
        break;
      start = next + 1;
    }
    end = std::min(text.find(u'\n', start), text.size());
  }
  // The boundary nearest to the point.
  int pen = origin;
  for (std::size_t i = start; i < end; ++i) {
    const int w = fonts_->TextWidth(font, std::u16string_view(text).substr(i, 1));
    if (x < pen + w / 2)
      return i;
    pen += w;
  }
  return end;
}

void PageView::RestartBlink() {
  caret_visible_ = true;
  last_blink_ = now_;
}

void PageView::InvalidateFocused() {
  if (!focused_)
    return;
  const Rect box = ElementRect(focused_);
  InvalidateDocumentRect({box.x, box.y + scroll_y_, box.width, box.height});
}

void PageView::Tick(std::uint64_t now_ms) {
  now_ = now_ms;
  if (!focused_ || !focused_->IsTextField() || !window_focused_)
    return;
  if (now_ms - last_blink_ >= kBlinkMs) {
    caret_visible_ = !caret_visible_;
    last_blink_ = now_ms;
    InvalidateFocused();
  }
}

void PageView::SetWindowFocus(bool focused) {
  window_focused_ = focused;
  RestartBlink();
  InvalidateFocused();
}

void PageView::SetImageData(const std::string& url, std::string_view bytes) {
  images_->SetData(url, bytes);
  layout_dirty_ = true;
  InvalidateAll();
}

void PageView::SetImageFailed(const std::string& url) {
  images_->SetFailed(url);
  InvalidateAll();
}

void PageView::SetChosenFile(const NodePtr& input, const std::string& path) {
  if (!input || path.empty() || !document_)
    return;
  input->SetValue(path);
  document_->DispatchEvent(input, EventType::kInput);
  document_->DispatchEvent(input, EventType::kChange);
}

}  // namespace cef_standin::page
