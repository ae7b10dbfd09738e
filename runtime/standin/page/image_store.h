#pragma once

// The page's images, by resolved address: which ones the view still needs,
// and the decoded pictures (GDI+) of those whose bytes arrived. Undecodable
// or oversized bytes leave the image failed: its placeholder stays.
// Renderer thread only.

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/standin/page/layout.h"

namespace Gdiplus {
class Bitmap;
}

namespace cef_standin::page {

class ImageStore {
 public:
  // Pictures larger than this on either side are refused.
  static constexpr int kMaxSide = 8192;

  ImageStore();
  ~ImageStore();

  // Notes `urls` as shown; returns those never asked for before.
  std::vector<std::string> Request(const std::vector<std::string>& urls);
  // Decodes `bytes` for `url`; false (and the image failed) when they are
  // not a picture GDI+ reads.
  bool SetData(const std::string& url, std::string_view bytes);
  void SetFailed(const std::string& url);
  std::optional<Size> NaturalSize(const std::string& url) const;
  // Draws the picture of `url` scaled into `rect` of `dc`; false when there
  // is no picture.
  bool Draw(HDC dc, const std::string& url, const Rect& rect) const;

 private:
  struct Entry {
    bool failed = false;
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
  };
  std::map<std::string, Entry> entries_;
};

}  // namespace cef_standin::page
