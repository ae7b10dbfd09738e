#include "ui/control/skin_event_handler.h"

#include "ui/control/box.h"
#include "ui/control/control.h"
#include "ui/control/control_host.h"

namespace ui {

Control* FindSkinEventReceiver(Control* owner, const std::wstring& receiver) {
  if (!owner)
    return nullptr;
  const bool inside =
      receiver.size() >= 2 && receiver[0] == L'.' && (receiver[1] == L'/' || receiver[1] == L'\\');
  if (inside) {
    const std::wstring name = receiver.substr(2);
    if (Box* box = dynamic_cast<Box*>(owner))
      return box->FindSubControl(name);
    return CompareStringOrdinal(owner->GetName().data(), static_cast<int>(owner->GetName().size()),
                                name.data(), static_cast<int>(name.size()), TRUE) == CSTR_EQUAL
               ? owner
               : nullptr;
  }
  ControlHost* window = owner->GetWindow();
  return window ? window->FindControlByName(receiver) : nullptr;
}

EventHandler MakeSkinEventHandler(Control* owner,
                                  const std::wstring& receiver,
                                  const std::wstring& attribute_list) {
  return owner->MakeWeakCallback([owner, receiver, attribute_list](EventArgs*) {
    if (Control* target = FindSkinEventReceiver(owner, receiver))
      target->ApplyAttributeList(attribute_list);
    return true;
  });
}

}  // namespace ui
