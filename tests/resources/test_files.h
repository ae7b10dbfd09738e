#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ui::test {

using Bytes = std::vector<uint8_t>;

// A fresh folder below the temporary folder, removed with its contents.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing separator.
  const std::wstring& path() const { return path_; }
  // Writes |bytes| to |relative| below the folder, creating sub-folders;
  // returns the full path.
  std::wstring Write(const std::wstring& relative, const Bytes& bytes) const;
  std::wstring Write(const std::wstring& relative, const std::string& text) const;

 private:
  std::wstring path_;
};

// One RGBA pixel.
struct Rgba {
  uint8_t r, g, b, a;
};

// A width x height image of one colour with an optional single pixel of
// another (at 0, 0).
std::vector<Rgba> FilledPixels(int width, int height, Rgba fill);

// Encoders for the formats the decoder must read, written out by hand so
// that the tests control every byte.
Bytes EncodePng(int width, int height, const std::vector<Rgba>& pixels);
Bytes EncodeBmp24(int width, int height, Rgba fill);

struct GifFrame {
  uint16_t delay_hundredths;
  // Palette indices 0-3, width x height of them.
  std::vector<uint8_t> indices;
};
// An animated GIF with a four-colour palette (black, red, green, blue).
Bytes EncodeGif(int width, int height, const std::vector<GifFrame>& frames);

// A JPEG made by the system's GDI+ encoder (GDI+ must be started).
bool WriteJpeg(const std::wstring& path, int width, int height);

}  // namespace ui::test
