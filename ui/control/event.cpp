#include "ui/control/event.h"

#include <utility>

namespace ui {

namespace {

struct NamedEvent {
  const wchar_t* name;
  EventType type;
};

constexpr NamedEvent kSkinEventNames[] = {
    {L"all", kEventAll},
    {L"keydown", kEventKeyDown},
    {L"keyup", kEventKeyUp},
    {L"char", kEventChar},
    {L"syskey", kEventSystemKey},
    {L"mousemove", kEventMouseMove},
    {L"mouseenter", kEventMouseEnter},
    {L"mouseleave", kEventMouseLeave},
    {L"mousehover", kEventMouseHover},
    {L"buttondown", kEventMouseButtonDown},
    {L"buttonup", kEventMouseButtonUp},
    {L"rbuttondown", kEventMouseRightButtonDown},
    {L"doubleclick", kEventMouseDoubleClick},
    {L"menu", kEventMouseMenu},
    {L"scrollwheel", kEventMouseScrollWheel},
    {L"setfocus", kEventSetFocus},
    {L"killfocus", kEventKillFocus},
    {L"windowclose", kEventWindowClose},
    {L"setcursor", kEventSetCursor},
    {L"select", kEventSelect},
    {L"unselect", kEventUnSelect},
    {L"return", kEventReturn},
    {L"tab", kEventTab},
    {L"scrollchange", kEventScrollChange},
    {L"valuechange", kEventValueChange},
};

}  // namespace

EventType EventTypeFromName(const std::wstring& name) {
  for (const NamedEvent& entry : kSkinEventNames) {
    if (name == entry.name)
      return entry.type;
  }
  return kEventNone;
}

void EventMap::Attach(EventType type, EventHandler handler) {
  if (!handler)
    return;
  lists_[type].push_back(std::move(handler));
}

bool EventMap::Has(EventType type) const {
  return lists_.find(type) != lists_.end();
}

bool EventMap::RunIfPresent(EventType type,
                            EventArgs* args,
                            const LivenessWatch& owner,
                            bool* result) const {
  auto found = lists_.find(type);
  if (found == lists_.end())
    return true;
  const std::vector<EventHandler>& list = found->second;
  // Handlers attached while the list runs wait for the next event.
  const size_t count = list.size();
  bool list_result = true;
  for (size_t i = 0; i < count && list_result; ++i) {
    // A copy: the handler may attach others and so move the stored one.
    EventHandler handler = list[i];
    list_result = handler(args);
    if (owner.IsDestroyed())
      return false;
  }
  *result = list_result;
  return true;
}

}  // namespace ui
