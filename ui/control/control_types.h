#pragma once

#include <cstdint>

namespace ui {

// Size markers of a control's fixed width or height. Any value of 0 or more
// is a pixel count.
constexpr int32_t kStretch = -1;  // take what the parent offers
constexpr int32_t kAuto = -2;     // size to content

// Default maximum size of a control.
constexpr int32_t kDefaultMaxSize = 9999999;

enum class ControlState : int32_t {
  kNormal = 0,
  kHot = 1,
  kPushed = 2,
  kDisabled = 3,
};

enum class CursorType : int32_t {
  kArrow = 0,
  kHand = 1,
  kIbeam = 2,
};

// Placement of a control inside what its parent offers it.
enum class HorAlign : int32_t {
  kLeft = 0,
  kCenter = 1,
  kRight = 2,
};

enum class VerAlign : int32_t {
  kTop = 0,
  kCenter = 1,
  kBottom = 2,
};

// Flags of FindControl.
constexpr uint32_t kFindVisible = 0x00000001;
constexpr uint32_t kFindEnabled = 0x00000002;
constexpr uint32_t kFindHitTest = 0x00000004;
constexpr uint32_t kFindTopFirst = 0x00000008;
// For the layout pass: a box searches only the children that wait for
// arrangement or have a control below them that does.
constexpr uint32_t kFindArrangePending = 0x00000010;
constexpr uint32_t kFindMeFirst = 0x80000000;

// Bit of GetTabFlags: the window's Tab key may move the focus here.
constexpr int32_t kTabStop = 1;

}  // namespace ui
