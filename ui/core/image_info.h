#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ui {

// A decoded image: one 32-bit device-independent bitmap per frame, shared
// by every image descriptor of the same file through the image cache.
class ImageInfo {
 public:
  ImageInfo() = default;
  // Leaves the image cache when registered there, then frees the bitmaps.
  ~ImageInfo();
  ImageInfo(const ImageInfo&) = delete;
  ImageInfo& operator=(const ImageInfo&) = delete;

  // Milliseconds the frame stays on screen: 0 without delay data or for an
  // index beyond the frames; short delays are lengthened the way browsers
  // play them (below 30 ms 100 ms, below 50 ms 50 ms).
  int32_t FrameDelayMs(size_t index) const;
  size_t FrameCount() const { return frames.size(); }
  HBITMAP Frame(size_t index) const { return index < frames.size() ? frames[index] : nullptr; }

  int32_t width = 0;
  int32_t height = 0;
  // The cache key.
  std::wstring path;
  // True when some pixel is not fully opaque.
  bool alphaChannel = false;
  // The decoder's frame-delay values in hundredths of a second; empty for
  // single-frame images.
  std::vector<uint32_t> frameDelays;
  // Owned bitmaps, one per frame.
  std::vector<HBITMAP> frames;
  // Set by the image cache when it registered this image under |path|.
  bool cached = false;
};

// The display time of a frame-delay value given in hundredths of a second.
int32_t FrameDelayFromHundredths(uint32_t hundredths);

// Decodes an image file (PNG, JPEG, BMP, GIF with all its frames) with
// GDI+, which must be started. Null when the file is missing, cannot be
// decoded, or any frame cannot be converted.
std::unique_ptr<ImageInfo> DecodeImageFile(const std::wstring& path);

}  // namespace ui
