#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/render/geometry.h"

namespace ui {

class ImageInfo;

// An image descriptor: an image string (a file name, or key='value' pairs
// such as file='btn.png' corner='4,4,4,4' fade='200'), its parsed drawing
// properties, the decoded image shared through the image cache and the
// playback state of an animated image. Copies share the decoded image.
//
// Parsing is portable; loading lives with the image cache.
class ImageSpec {
 public:
  static constexpr UiRect kUnsetRect = {-1, -1, -1, -1};

  // Releases the image, resets playback and properties, then takes |text|
  // as the string and, until a "file" (or "res") pair says otherwise, as
  // the file name.
  void SetImageString(const std::wstring& text);
  // Applies the pairs of |text| over the current properties; used for the
  // per-drawing modification strings of controls.
  void ApplyImageString(const std::wstring& text);
  // Back to a descriptor without string, image or playback.
  void Reset();
  // Drops the decoded image and the playback state, keeping the string.
  void ReleaseImage();

  // Loads the image through the image cache unless it is already there. A
  // relative file name is looked up in the resource folder followed by
  // |skin_folder|. False when there is no image afterwards.
  bool ResolveAndLoad(const std::wstring& skin_folder);

  // All four values of "dest" (or "source") were given.
  bool HasDest() const { return IsSet(dest); }
  bool HasSource() const { return IsSet(source); }

  std::wstring attributeString;
  std::wstring fileName;
  UiRect dest = kUnsetRect;
  UiRect source = kUnsetRect;
  // Nine-slice border widths.
  UiRect corner;
  uint8_t fade = 255;
  bool xTiled = false;
  bool yTiled = false;
  // Cycles an animated image plays: -1 without end, 0 none.
  int32_t playCount = -1;

  std::shared_ptr<ImageInfo> image;
  int32_t frameIndex = 0;
  bool playing = false;
  int32_t cyclesPlayed = 0;

 private:
  static bool IsSet(const UiRect& r) {
    return r.left != -1 && r.top != -1 && r.right != -1 && r.bottom != -1;
  }
  void ApplyPair(const std::wstring& key, const std::wstring& value);
  void ResetProperties();
};

namespace image_string {

// Lenient number reading of skin values, identical on every platform.
// ReadInt32 reads like _wtoi; ReadUInt32 like a 32-bit wcstoul; both
// saturate instead of overflowing. |end| receives the offset at which
// the number stopped (the start when nothing was read).
int32_t ReadInt32(const std::wstring& text, size_t begin, size_t* end);
uint32_t ReadUInt32(const std::wstring& text, size_t begin, size_t* end);
// Four comma-separated integers; each after the first is read from the
// character after the one that ended the previous, missing ones read 0.
UiRect ReadRect(const std::wstring& text);

}  // namespace image_string

}  // namespace ui
