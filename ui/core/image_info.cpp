#include "ui/core/image_info.h"

#include <objidl.h>  // PROPID, left out by WIN32_LEAN_AND_MEAN

#include <gdiplus.h>

#include <algorithm>
#include <cstddef>

#include "ui/core/global_resources.h"

namespace ui {

namespace gp = Gdiplus::DllExports;

namespace {

// FrameDimensionTime, spelled out so that no GUID library is needed.
constexpr GUID kFrameDimensionTime = {0x6aedbd6d,
                                      0x3fb5,
                                      0x418a,
                                      {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
constexpr PROPID kPropertyTagFrameDelay = 0x5100;
constexpr Gdiplus::ARGB kOpaqueBlack = 0xFF000000;

// Disposes a GDI+ image when the decode leaves, on every path.
class ScopedGpImage {
 public:
  ScopedGpImage() = default;
  ~ScopedGpImage() {
    if (bitmap_)
      gp::GdipDisposeImage(bitmap_);
  }
  ScopedGpImage(const ScopedGpImage&) = delete;
  ScopedGpImage& operator=(const ScopedGpImage&) = delete;

  Gdiplus::GpBitmap** Receive() { return &bitmap_; }
  Gdiplus::GpBitmap* bitmap() const { return bitmap_; }
  Gdiplus::GpImage* image() const { return bitmap_; }

 private:
  Gdiplus::GpBitmap* bitmap_ = nullptr;
};

UINT CountFrames(Gdiplus::GpImage* image) {
  UINT dimensions = 0;
  if (gp::GdipImageGetFrameDimensionsCount(image, &dimensions) != Gdiplus::Ok || dimensions == 0)
    return 0;
  std::vector<GUID> ids(dimensions);
  if (gp::GdipImageGetFrameDimensionsList(image, ids.data(), dimensions) != Gdiplus::Ok)
    return 0;
  UINT count = 0;
  if (gp::GdipImageGetFrameCount(image, &ids[0], &count) != Gdiplus::Ok)
    return 0;
  return count;
}

// The frame-delay property as one value per frame it covers. A missing or
// malformed property gives no delays.
std::vector<uint32_t> ReadFrameDelays(Gdiplus::GpImage* image) {
  UINT size = 0;
  if (gp::GdipGetPropertyItemSize(image, kPropertyTagFrameDelay, &size) != Gdiplus::Ok ||
      size < sizeof(Gdiplus::PropertyItem)) {
    return {};
  }
  // Aligned storage for the item header and the values behind it.
  std::vector<uint64_t> storage((size + sizeof(uint64_t) - 1) / sizeof(uint64_t));
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(storage.data());
  if (gp::GdipGetPropertyItem(image, kPropertyTagFrameDelay, size, item) != Gdiplus::Ok ||
      !item->value) {
    return {};
  }
  const char* begin = static_cast<const char*>(item->value);
  const char* end = reinterpret_cast<const char*>(storage.data()) + size;
  if (begin < reinterpret_cast<const char*>(storage.data()) || begin > end)
    return {};
  const size_t available = std::min<size_t>(item->length, static_cast<size_t>(end - begin));
  std::vector<uint32_t> delays(available / sizeof(uint32_t));
  std::copy_n(begin, delays.size() * sizeof(uint32_t), reinterpret_cast<char*>(delays.data()));
  return delays;
}

bool FormatHasAlpha(Gdiplus::GpImage* image, Gdiplus::PixelFormat format) {
  if (!(format & PixelFormatIndexed))
    return (format & PixelFormatAlpha) != 0;
  INT size = 0;
  if (gp::GdipGetImagePaletteSize(image, &size) != Gdiplus::Ok ||
      size < static_cast<INT>(sizeof(Gdiplus::ColorPalette))) {
    return false;
  }
  std::vector<uint64_t> storage((static_cast<size_t>(size) + 7) / 8);
  auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(storage.data());
  if (gp::GdipGetImagePalette(image, palette, size) != Gdiplus::Ok)
    return false;
  return (palette->Flags & Gdiplus::PaletteFlagsHasAlpha) != 0;
}

// True when some pixel of the active frame has an alpha other than 255.
bool FrameHasTranslucentPixel(Gdiplus::GpBitmap* bitmap) {
  Gdiplus::BitmapData data = {};
  if (gp::GdipBitmapLockBits(bitmap, nullptr, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                             &data) != Gdiplus::Ok) {
    return false;
  }
  bool translucent = false;
  const auto* scan0 = static_cast<const uint8_t*>(data.Scan0);
  for (UINT y = 0; scan0 && y < data.Height && !translucent; ++y) {
    const uint8_t* row = scan0 + static_cast<ptrdiff_t>(y) * data.Stride;
    for (UINT x = 0; x < data.Width; ++x) {
      if (row[x * 4 + 3] != 255) {
        translucent = true;
        break;
      }
    }
  }
  gp::GdipBitmapUnlockBits(bitmap, &data);
  return translucent;
}

}  // namespace

ImageInfo::~ImageInfo() {
  if (cached && !path.empty())
    GlobalResources::ForgetCachedImage(path, this);
  for (HBITMAP frame : frames) {
    if (frame)
      DeleteObject(frame);
  }
}

int32_t ImageInfo::FrameDelayMs(size_t index) const {
  if (index >= frameDelays.size() || index >= frames.size())
    return 0;
  return FrameDelayFromHundredths(frameDelays[index]);
}

int32_t FrameDelayFromHundredths(uint32_t hundredths) {
  const int64_t delay = int64_t{hundredths} * 10;
  if (delay < 30)
    return 100;
  if (delay < 50)
    return 50;
  // Absurd values stay absurd but representable.
  return static_cast<int32_t>(std::min<int64_t>(delay, INT32_MAX));
}

std::unique_ptr<ImageInfo> DecodeImageFile(const std::wstring& path) {
  ScopedGpImage source;
  if (path.empty() || gp::GdipCreateBitmapFromFile(path.c_str(), source.Receive()) != Gdiplus::Ok ||
      !source.bitmap()) {
    return nullptr;
  }
  Gdiplus::GpImage* image = source.image();
  const UINT frame_count = CountFrames(image);
  if (frame_count == 0)
    return nullptr;

  auto info = std::make_unique<ImageInfo>();
  if (frame_count > 1)
    info->frameDelays = ReadFrameDelays(image);

  Gdiplus::PixelFormat format = 0;
  gp::GdipGetImagePixelFormat(image, &format);
  info->alphaChannel = FormatHasAlpha(image, format);
  // A 32-bit image with an alpha channel often has only opaque pixels;
  // those draw faster without blending.
  const bool scan_alpha = format == PixelFormat32bppARGB;
  bool translucent = false;

  info->frames.reserve(frame_count);
  for (UINT index = 0; index < frame_count; ++index) {
    if (frame_count > 1 &&
        gp::GdipImageSelectActiveFrame(image, &kFrameDimensionTime, index) != Gdiplus::Ok) {
      return nullptr;
    }
    HBITMAP frame = nullptr;
    if (gp::GdipCreateHBITMAPFromBitmap(source.bitmap(), &frame, kOpaqueBlack) != Gdiplus::Ok ||
        !frame) {
      return nullptr;  // |info| deletes the frames converted so far
    }
    info->frames.push_back(frame);
    if (scan_alpha && !translucent)
      translucent = FrameHasTranslucentPixel(source.bitmap());
  }
  if (scan_alpha)
    info->alphaChannel = translucent;

  UINT width = 0;
  UINT height = 0;
  gp::GdipGetImageWidth(image, &width);
  gp::GdipGetImageHeight(image, &height);
  info->width = static_cast<int32_t>(std::min<UINT>(width, INT32_MAX));
  info->height = static_cast<int32_t>(std::min<UINT>(height, INT32_MAX));
  info->path = path;

  return info;
}

}  // namespace ui
