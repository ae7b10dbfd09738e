#include "tests/resources/test_files.h"

#include <objidl.h>

#include <gdiplus.h>

#include <atomic>
#include <cstring>
#include <memory>

namespace ui::test {

namespace {

void DeleteTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..")
        continue;
      const std::wstring full = folder + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        DeleteTree(full + L"\\");
      else
        DeleteFileW(full.c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

void CreateFoldersFor(const std::wstring& file) {
  for (size_t slash = file.find(L'\\', 3); slash != std::wstring::npos;
       slash = file.find(L'\\', slash + 1)) {
    CreateDirectoryW(file.substr(0, slash).c_str(), nullptr);
  }
}

void PutU32Be(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 24));
  out.push_back(static_cast<uint8_t>(v >> 16));
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void PutU16Le(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32Le(Bytes& out, uint32_t v) {
  PutU16Le(out, v & 0xFFFF);
  PutU16Le(out, v >> 16);
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutPngChunk(Bytes& out, const char* type, const Bytes& data) {
  PutU32Be(out, static_cast<uint32_t>(data.size()));
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutU32Be(out, Crc32(typed.data(), typed.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks.
Bytes ZlibStored(const Bytes& raw) {
  Bytes out = {0x78, 0x01};
  size_t offset = 0;
  do {
    const size_t length = std::min<size_t>(raw.size() - offset, 65535);
    const bool last = offset + length == raw.size();
    out.push_back(last ? 1 : 0);
    PutU16Le(out, static_cast<uint32_t>(length));
    PutU16Le(out, static_cast<uint32_t>(~length & 0xFFFF));
    out.insert(out.end(), raw.begin() + static_cast<ptrdiff_t>(offset),
               raw.begin() + static_cast<ptrdiff_t>(offset + length));
    offset += length;
  } while (offset < raw.size());
  uint32_t a = 1;
  uint32_t b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutU32Be(out, (b << 16) | a);
  return out;
}

// GIF image data that never lets the code table grow: a clear code before
// every second pixel keeps every code three bits wide.
Bytes GifImageData(const std::vector<uint8_t>& indices) {
  constexpr uint32_t kClear = 4;
  constexpr uint32_t kEnd = 5;
  Bytes packed;
  uint32_t accumulator = 0;
  int bits = 0;
  auto put = [&](uint32_t code) {
    accumulator |= code << bits;
    bits += 3;
    while (bits >= 8) {
      packed.push_back(static_cast<uint8_t>(accumulator));
      accumulator >>= 8;
      bits -= 8;
    }
  };
  for (size_t i = 0; i < indices.size(); ++i) {
    if (i % 2 == 0)
      put(kClear);
    put(indices[i] & 3u);
  }
  put(kEnd);
  if (bits > 0)
    packed.push_back(static_cast<uint8_t>(accumulator));

  Bytes out = {2};  // minimum code size
  for (size_t offset = 0; offset < packed.size(); offset += 255) {
    const size_t length = std::min<size_t>(255, packed.size() - offset);
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), packed.begin() + static_cast<ptrdiff_t>(offset),
               packed.begin() + static_cast<ptrdiff_t>(offset + length));
  }
  out.push_back(0);
  return out;
}

std::atomic<int> folder_counter{0};

}  // namespace

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"qel_resources_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
          std::to_wstring(folder_counter++) + L"\\";
  DeleteTree(path_);
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  DeleteTree(path_);
}

std::wstring TempFolder::Write(const std::wstring& relative, const Bytes& bytes) const {
  const std::wstring full = path_ + relative;
  CreateFoldersFor(full);
  HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    if (!bytes.empty())
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  return full;
}

std::wstring TempFolder::Write(const std::wstring& relative, const std::string& text) const {
  return Write(relative, Bytes(text.begin(), text.end()));
}

std::vector<Rgba> FilledPixels(int width, int height, Rgba fill) {
  return std::vector<Rgba>(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
}

Bytes EncodePng(int width, int height, const std::vector<Rgba>& pixels) {
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutU32Be(header, static_cast<uint32_t>(width));
  PutU32Be(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
  PutPngChunk(out, "IHDR", header);

  Bytes raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) {
      const Rgba& p =
          pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
    }
  }
  PutPngChunk(out, "IDAT", ZlibStored(raw));
  PutPngChunk(out, "IEND", {});
  return out;
}

Bytes EncodeBmp24(int width, int height, Rgba fill) {
  const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t image_size = row * static_cast<uint32_t>(height);
  Bytes out = {'B', 'M'};
  PutU32Le(out, 54 + image_size);
  PutU32Le(out, 0);
  PutU32Le(out, 54);
  PutU32Le(out, 40);
  PutU32Le(out, static_cast<uint32_t>(width));
  PutU32Le(out, static_cast<uint32_t>(height));
  PutU16Le(out, 1);
  PutU16Le(out, 24);
  PutU32Le(out, 0);  // BI_RGB
  PutU32Le(out, image_size);
  PutU32Le(out, 2835);
  PutU32Le(out, 2835);
  PutU32Le(out, 0);
  PutU32Le(out, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      out.insert(out.end(), {fill.b, fill.g, fill.r});
    out.resize(out.size() + (row - static_cast<uint32_t>(width) * 3), 0);
  }
  return out;
}

Bytes EncodeGif(int width, int height, const std::vector<GifFrame>& frames) {
  Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
  PutU16Le(out, static_cast<uint32_t>(width));
  PutU16Le(out, static_cast<uint32_t>(height));
  out.insert(out.end(), {0x91, 0, 0});  // four-colour global palette
  out.insert(out.end(), {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
  // Loop forever.
  out.insert(out.end(), {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                         0x03, 0x01, 0x00, 0x00, 0x00});
  for (const GifFrame& frame : frames) {
    out.insert(out.end(), {0x21, 0xF9, 0x04, 0x00});
    PutU16Le(out, frame.delay_hundredths);
    out.insert(out.end(), {0x00, 0x00});
    out.push_back(0x2C);
    PutU16Le(out, 0);
    PutU16Le(out, 0);
    PutU16Le(out, static_cast<uint32_t>(width));
    PutU16Le(out, static_cast<uint32_t>(height));
    out.push_back(0);
    const Bytes data = GifImageData(frame.indices);
    out.insert(out.end(), data.begin(), data.end());
  }
  out.push_back(0x3B);
  return out;
}

bool WriteJpeg(const std::wstring& path, int width, int height) {
  namespace gp = Gdiplus::DllExports;
  UINT count = 0;
  UINT size = 0;
  if (gp::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
    return false;
  std::vector<uint64_t> storage((size + 7) / 8);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
  if (gp::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok)
    return false;
  const CLSID* jpeg = nullptr;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/jpeg") == 0)
      jpeg = &codecs[i].Clsid;
  }
  if (!jpeg)
    return false;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (gp::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat24bppRGB, nullptr, &bitmap) !=
      Gdiplus::Ok) {
    return false;
  }
  const bool saved = gp::GdipSaveImageToFile(bitmap, path.c_str(), jpeg, nullptr) == Gdiplus::Ok;
  gp::GdipDisposeImage(bitmap);
  return saved;
}

}  // namespace ui::test
