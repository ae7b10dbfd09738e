#include "runtime/standin/page/image_store.h"

// WIN32_LEAN_AND_MEAN leaves out the COM types GDI+ declares with.
#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>

namespace cef_standin::page {

namespace {

// Started on first use and never shut down: the runtime library may be
// unloaded at process end, when GDI+ must not be shut down any more.
void EnsureGdiplus() {
  static const bool started = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  (void)started;
}

std::unique_ptr<Gdiplus::Bitmap> Decode(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > (64u << 20))
    return nullptr;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory)
    return nullptr;
  void* data = GlobalLock(memory);
  if (!data) {
    GlobalFree(memory);
    return nullptr;
  }
  std::copy(bytes.begin(), bytes.end(), static_cast<char*>(data));
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, /*fDeleteOnRelease=*/TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  std::unique_ptr<Gdiplus::Bitmap> copy;
  {
    // The decoded bitmap reads from the stream for its whole life; a copy
    // lets the stream go.
    Gdiplus::Bitmap decoded(stream);
    const UINT width = decoded.GetWidth();
    const UINT height = decoded.GetHeight();
    if (decoded.GetLastStatus() == Gdiplus::Ok && width > 0 && height > 0 &&
        width <= static_cast<UINT>(ImageStore::kMaxSide) &&
        height <= static_cast<UINT>(ImageStore::kMaxSide)) {
      copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(width), static_cast<INT>(height),
                                               PixelFormat32bppPARGB);
      if (copy->GetLastStatus() == Gdiplus::Ok) {
        Gdiplus::Graphics graphics(copy.get());
        if (graphics.DrawImage(&decoded, 0, 0, static_cast<INT>(width), static_cast<INT>(height)) !=
            Gdiplus::Ok)
          copy.reset();
      } else {
        copy.reset();
      }
    }
  }
  stream->Release();
  return copy;
}

}  // namespace

ImageStore::ImageStore() = default;
ImageStore::~ImageStore() = default;

std::vector<std::string> ImageStore::Request(const std::vector<std::string>& urls) {
  std::vector<std::string> fresh;
  for (const std::string& url : urls) {
    if (entries_.emplace(url, Entry()).second)
      fresh.push_back(url);
  }
  return fresh;
}

bool ImageStore::SetData(const std::string& url, std::string_view bytes) {
  EnsureGdiplus();
  Entry& entry = entries_[url];
  entry.bitmap = Decode(bytes);
  entry.failed = !entry.bitmap;
  return !entry.failed;
}

void ImageStore::SetFailed(const std::string& url) {
  Entry& entry = entries_[url];
  entry.bitmap.reset();
  entry.failed = true;
}

std::optional<Size> ImageStore::NaturalSize(const std::string& url) const {
  auto it = entries_.find(url);
  if (it == entries_.end() || !it->second.bitmap)
    return std::nullopt;
  return Size{static_cast<int>(it->second.bitmap->GetWidth()),
              static_cast<int>(it->second.bitmap->GetHeight())};
}

bool ImageStore::Draw(HDC dc, const std::string& url, const Rect& rect) const {
  auto it = entries_.find(url);
  if (it == entries_.end() || !it->second.bitmap)
    return false;
  Gdiplus::Graphics graphics(dc);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  return graphics.DrawImage(it->second.bitmap.get(), rect.x, rect.y, rect.width, rect.height) ==
         Gdiplus::Ok;
}

}  // namespace cef_standin::page
