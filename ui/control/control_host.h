#pragma once

#include <string>
#include <vector>

#include "ui/render/geometry.h"

namespace ui {

class Box;
class Control;
class IRenderContext;

// What a control needs of the window it belongs to. The window host
// (ui::Window) implements it; controls reach their window only through
// this interface, so they can be laid out, painted and tested without a
// native window.
//
// What the window does with its controls in turn:
// - attach the root: root->SetWindowAndParent(window, nullptr, true), then
//   index the names of the tree;
// - lay out before painting when SetLayoutNeeded was called: RunLayoutPass
//   (layout_pass.h) with the client rectangle;
// - paint: root->PaintContent, then root->PaintChildren, into its context;
// - hit test: root->FindControl(proc, &point, kFindVisible | kFindHitTest |
//   kFindTopFirst); Tab order: kFindVisible | kFindEnabled | kFindMeFirst;
// - input: SendEvent on the control concerned (event.h has the numbers);
// - delete what DeferDelete handed over when its private message arrives.
class ControlHost {
 public:
  // The root of the window's control tree, or null.
  virtual Control* GetRoot() const = 0;

  // Keyboard focus. Setting null drops the focus.
  virtual Control* GetFocusControl() const = 0;
  virtual void SetFocusControl(Control* control) = 0;
  // The control that received "mouseenter" and not yet "mouseleave".
  virtual Control* GetHoverControl() const = 0;
  // Client coordinates of the last mouse, touch or pointer position.
  virtual UiPoint GetLastMousePos() const = 0;

  // The window shadow; controls report their bounds without it on request.
  virtual bool IsShadowAttached() const = 0;
  virtual UiPadding GetShadowCorner() const = 0;

  // The window's own render context (controls switch its transparent
  // rendering while they paint through an off-screen copy); may be null.
  virtual IRenderContext* GetRenderContext() const = 0;

  // Marks |rect| (client coordinates) for repainting without erasing; a
  // layered window also posts itself a paint message.
  virtual void Invalidate(const UiRect& rect) = 0;
  // Asks for a layout pass before the next paint.
  virtual void SetLayoutNeeded() = 0;

  // Attribute list of a window-level class, empty when unknown.
  virtual std::wstring WindowClassAttributes(const std::wstring& class_name) const = 0;
  // Exact lookup in the window's name index.
  virtual Control* FindControlByName(const std::wstring& name) const = 0;
  // Gives |control| this window and |parent| (initialising it) and enters
  // every named control of its subtree into the name index.
  virtual bool RegisterSubtree(Control* control, Box* parent) = 0;
  // Takes ownership of |control| and deletes it later, outside the call
  // chain that removed it.
  virtual void DeferDelete(Control* control) = 0;
  // |control| is being destroyed: forget it as focus, hover, capture and
  // name entry.
  virtual void ForgetControl(Control* control) = 0;

  // Folder of the window's skin below the resource folder, ending in a
  // separator (or empty); relative image paths start there.
  virtual std::wstring SkinFolder() const = 0;

  // Option groups: the options of one name, among which one is selected.
  // Adding refuses a control already in the group; a group that becomes
  // empty is dropped.
  virtual bool AddToGroup(const std::wstring& group, Control* control) = 0;
  virtual const std::vector<Control*>* GetGroup(const std::wstring& group) const = 0;
  virtual void RemoveFromGroup(const std::wstring& group, Control* control) = 0;

 protected:
  ~ControlHost() = default;
};

}  // namespace ui
