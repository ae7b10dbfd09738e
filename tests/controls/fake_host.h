#pragma once

#include <map>
#include <string>
#include <vector>

#include "ui/control/control_host.h"

namespace ui::test {

// A window as controls see it, without a native window: records what the
// controls ask of it.
class FakeHost : public ControlHost {
 public:
  FakeHost() = default;
  // Deletes the controls handed over for later deletion.
  ~FakeHost();

  // Makes |root| the root of this window (the test keeps owning it).
  void AttachRoot(Control* root);
  // What the window does on its private deletion message.
  void DeleteDeferred();

  Control* GetRoot() const override { return root_; }
  Control* GetFocusControl() const override { return focus_; }
  void SetFocusControl(Control* control) override;
  Control* GetHoverControl() const override { return hover_; }
  UiPoint GetLastMousePos() const override { return last_mouse_; }
  bool IsShadowAttached() const override { return shadow_attached_; }
  UiPadding GetShadowCorner() const override { return shadow_corner_; }
  IRenderContext* GetRenderContext() const override { return render_context_; }
  void Invalidate(const UiRect& rect) override { invalidated_.push_back(rect); }
  void SetLayoutNeeded() override { ++layout_requests_; }
  std::wstring WindowClassAttributes(const std::wstring& class_name) const override;
  Control* FindControlByName(const std::wstring& name) const override;
  bool RegisterSubtree(Control* control, Box* parent) override;
  void DeferDelete(Control* control) override { deferred_.push_back(control); }
  void ForgetControl(Control* control) override;
  std::wstring SkinFolder() const override { return skin_folder_; }
  bool AddToGroup(const std::wstring& group, Control* control) override;
  const std::vector<Control*>* GetGroup(const std::wstring& group) const override;
  void RemoveFromGroup(const std::wstring& group, Control* control) override;

  void set_hover(Control* control) { hover_ = control; }
  void set_last_mouse(UiPoint point) { last_mouse_ = point; }
  void set_shadow(UiPadding corner) {
    shadow_attached_ = true;
    shadow_corner_ = corner;
  }
  void set_render_context(IRenderContext* context) { render_context_ = context; }
  void DefineClass(const std::wstring& name, const std::wstring& attributes) {
    classes_[name] = attributes;
  }

  std::vector<UiRect>& invalidated() { return invalidated_; }
  int layout_requests() const { return layout_requests_; }
  const std::vector<Control*>& deferred() const { return deferred_; }
  const std::vector<Control*>& forgotten() const { return forgotten_; }
  // Controls that were told to take the focus, in order (null: dropped).
  const std::vector<Control*>& focus_requests() const { return focus_requests_; }

 private:
  void IndexNames(Control* control);

  Control* root_ = nullptr;
  Control* focus_ = nullptr;
  Control* hover_ = nullptr;
  UiPoint last_mouse_;
  bool shadow_attached_ = false;
  UiPadding shadow_corner_;
  IRenderContext* render_context_ = nullptr;
  std::vector<UiRect> invalidated_;
  int layout_requests_ = 0;
  std::map<std::wstring, std::wstring> classes_;
  std::map<std::wstring, Control*> names_;
  std::vector<Control*> deferred_;
  std::vector<Control*> forgotten_;
  std::vector<Control*> focus_requests_;
  std::wstring skin_folder_;
  std::map<std::wstring, std::vector<Control*>> groups_;
};

}  // namespace ui::test
