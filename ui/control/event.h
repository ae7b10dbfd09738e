#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/control/liveness_watch.h"
#include "ui/render/geometry.h"

namespace ui {

class Control;

// The event vocabulary of controls and windows. The numbers matter: ranges
// are tested and skin names map onto them. Markers only delimit ranges and
// are never sent.
enum EventType : int32_t {
  kEventInternalDoubleClick = 0,
  kEventInternalMenu = 1,
  kEventInternalSetFocus = 2,
  kEventInternalKillFocus = 3,
  kEventNone = 4,
  kEventFirst = 5,
  kEventAll = 6,
  kEventKeyBegin = 7,
  kEventKeyDown = 8,
  kEventKeyUp = 9,
  kEventChar = 10,
  kEventSystemKey = 11,
  kEventKeyEnd = 12,
  kEventMouseBegin = 13,
  kEventMouseMove = 14,
  kEventMouseEnter = 15,
  kEventMouseLeave = 16,
  kEventMouseHover = 17,
  kEventMouseButtonDown = 18,
  kEventMouseButtonUp = 19,
  kEventMouseRightButtonDown = 20,
  kEventMouseRightButtonUp = 21,
  kEventMouseDoubleClick = 22,
  kEventMouseMenu = 23,
  kEventMouseScrollWheel = 24,
  kEventMouseEnd = 25,
  kEventTouchBegin = 26,
  kEventTouchDown = 27,
  kEventTouchMove = 28,
  kEventTouchUp = 29,
  kEventTouchEnd = 30,
  kEventPointerBegin = 31,
  kEventPointerDown = 32,
  kEventPointerMove = 33,
  kEventPointerUp = 34,
  kEventPointerEnd = 35,
  kEventSetFocus = 36,
  kEventKillFocus = 37,
  kEventWindowSize = 38,
  kEventWindowClose = 39,
  kEventSetCursor = 40,
  kEventClick = 41,
  kEventSelect = 42,
  kEventUnSelect = 43,
  kEventTextChange = 44,
  kEventReturn = 45,
  kEventTab = 46,
  kEventCustomLinkClick = 47,
  kEventImeStartComposition = 48,
  kEventImeEndComposition = 49,
  kEventScrollChange = 50,
  kEventValueChange = 51,
  kEventResize = 52,
};

// Events the window sends for its own bookkeeping; no handler sees them.
constexpr bool IsInternalEvent(EventType type) {
  return type >= kEventInternalDoubleClick && type <= kEventInternalKillFocus;
}

constexpr bool IsMouseEvent(EventType type) {
  return type > kEventMouseBegin && type < kEventMouseEnd;
}

// The type a skin's event name stands for; unknown names give kEventNone,
// whose handlers never run.
EventType EventTypeFromName(const std::wstring& name);

struct EventArgs {
  EventType type = kEventNone;
  // The control the event is about; unchanged while the event bubbles up.
  Control* sender = nullptr;
  // Tick count in milliseconds when the event was built.
  uint32_t timestamp = 0;
  // Client coordinates.
  UiPoint mousePoint;
  wchar_t keyChar = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
  float pressure = 0.0f;
};

// Returns false to stop the event.
using EventHandler = std::function<bool(EventArgs* args)>;

// Handler lists per event type, each in the order of attachment.
class EventMap {
 public:
  // Empty handlers are refused: calling one could only fail.
  void Attach(EventType type, EventHandler handler);

  bool Has(EventType type) const;
  bool IsEmpty() const { return lists_.empty(); }
  // Whether an event of |type| would run a handler: its own list or the
  // one for "all".
  bool Listens(EventType type) const { return !lists_.empty() && (Has(type) || Has(kEventAll)); }

  // Runs the list of |type| when there is one and stores its result in
  // |result|: the handlers run in turn until one returns false. Stops early
  // once |owner| reports the map's owner destroyed by a handler; returns
  // false in that case (nothing of the owner may be touched).
  bool RunIfPresent(EventType type,
                    EventArgs* args,
                    const LivenessWatch& owner,
                    bool* result) const;

 private:
  std::map<EventType, std::vector<EventHandler>> lists_;
};

}  // namespace ui
