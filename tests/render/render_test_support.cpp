#include "tests/render/render_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "ui/render/gdiplus_session.h"
#include "ui/render/render_factory.h"
#include "ui/render/render_resources.h"

namespace ui::test {
namespace {

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    session_ = std::make_unique<GdiplusSession>();
    ASSERT_TRUE(session_->started());
  }
  void TearDown() override { session_.reset(); }

 private:
  std::unique_ptr<GdiplusSession> session_;
};

[[maybe_unused]] ::testing::Environment* const kGdiplus =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace

std::unique_ptr<IRenderContext> MakeContext(int width, int height) {
  RenderFactory_GdiPlus factory;
  auto context = factory.CreateRenderContext();
  EXPECT_TRUE(context->Resize(width, height));
  return context;
}

uint32_t PixelAt(const IRenderContext& context, int x, int y) {
  const auto* pixels = static_cast<const uint32_t*>(context.Pixels());
  return pixels[static_cast<size_t>(y) * static_cast<size_t>(context.Width()) + x];
}

int CountPixels(const IRenderContext& context,
                const UiRect& area,
                const std::function<bool(uint32_t)>& predicate) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x)
      count += predicate(PixelAt(context, x, y)) ? 1 : 0;
  }
  return count;
}

UiRect InkBounds(const IRenderContext& context) {
  UiRect bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int y = 0; y < context.Height(); ++y) {
    for (int x = 0; x < context.Width(); ++x) {
      if (PixelAt(context, x, y) >> 24) {
        bounds.left = std::min(bounds.left, x);
        bounds.top = std::min(bounds.top, y);
        bounds.right = std::max(bounds.right, x + 1);
        bounds.bottom = std::max(bounds.bottom, y + 1);
      }
    }
  }
  return bounds.IsEmpty() ? UiRect{} : bounds;
}

bool IsPremultiplied(const IRenderContext& context) {
  const UiRect all{0, 0, context.Width(), context.Height()};
  return CountPixels(context, all, [](uint32_t p) {
           const uint32_t a = p >> 24;
           return ((p >> 16) & 0xFF) > a || ((p >> 8) & 0xFF) > a || (p & 0xFF) > a;
         }) == 0;
}

HBITMAP MakeBitmap(int width, int height, const std::function<uint32_t(int x, int y)>& color_at) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap)
    return nullptr;
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      pixels[static_cast<size_t>(y) * width + x] = color_at(x, y);
  }
  return bitmap;
}

struct ScopedRenderResources::Tables {
  std::map<std::wstring, UiColor> colors;
  HFONT font = nullptr;
};

ScopedRenderResources::ScopedRenderResources() : tables_(std::make_unique<Tables>()) {
  LOGFONTW logfont = {};
  logfont.lfHeight = -16;
  logfont.lfCharSet = DEFAULT_CHARSET;
  wcscpy_s(logfont.lfFaceName, kTestFontFace);
  tables_->font = CreateFontIndirectW(&logfont);

  Tables* tables = tables_.get();
  RenderResources::SetColorLookup([tables](const std::wstring& name) {
    return tables->colors.try_emplace(name, 0).first->second;
  });
  RenderResources::SetFontLookup([tables](const std::wstring& id) -> HFONT {
    return id == kTestFontId ? tables->font : nullptr;
  });
}

ScopedRenderResources::~ScopedRenderResources() {
  RenderResources::SetColorLookup(nullptr);
  RenderResources::SetFontLookup(nullptr);
  DeleteObject(tables_->font);
}

void ScopedRenderResources::DefineColor(const std::wstring& name, UiColor color) {
  tables_->colors[name] = color;
}

bool ScopedRenderResources::HasColor(const std::wstring& name) const {
  return tables_->colors.count(name) != 0;
}

}  // namespace ui::test
