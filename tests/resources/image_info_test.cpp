#include "ui/core/image_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/resources/test_files.h"
#include "ui/render/gdiplus_session.h"

namespace ui {
namespace {

using test::Bytes;
using test::Rgba;

constexpr Rgba kOpaqueRed = {255, 0, 0, 255};

std::vector<uint8_t> FrameOf(uint8_t index, int pixels) {
  return std::vector<uint8_t>(static_cast<size_t>(pixels), index);
}

class ImageDecodeTest : public ::testing::Test {
 protected:
  GdiplusSession gdiplus_;
  test::TempFolder folder_;
};

TEST_F(ImageDecodeTest, OpaquePngHasNoAlphaChannel) {
  const std::wstring path =
      folder_.Write(L"opaque.png", test::EncodePng(7, 5, test::FilledPixels(7, 5, kOpaqueRed)));
  auto image = DecodeImageFile(path);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 7);
  EXPECT_EQ(image->height, 5);
  EXPECT_EQ(image->path, path);
  ASSERT_EQ(image->FrameCount(), 1u);
  EXPECT_NE(image->Frame(0), nullptr);
  EXPECT_TRUE(image->frameDelays.empty());
  EXPECT_FALSE(image->alphaChannel);
  EXPECT_EQ(image->FrameDelayMs(0), 0);
}

TEST_F(ImageDecodeTest, OneTranslucentPixelGivesAnAlphaChannel) {
  std::vector<Rgba> pixels = test::FilledPixels(6, 6, kOpaqueRed);
  pixels.back().a = 128;
  auto image = DecodeImageFile(folder_.Write(L"translucent.png", test::EncodePng(6, 6, pixels)));
  ASSERT_TRUE(image);
  EXPECT_TRUE(image->alphaChannel);
}

TEST_F(ImageDecodeTest, FramesAreThirtyTwoBitBitmapsOfTheImageSize) {
  auto image = DecodeImageFile(
      folder_.Write(L"size.png", test::EncodePng(9, 4, test::FilledPixels(9, 4, kOpaqueRed))));
  ASSERT_TRUE(image);
  BITMAP bitmap = {};
  ASSERT_EQ(GetObjectW(image->Frame(0), sizeof(bitmap), &bitmap), static_cast<int>(sizeof(bitmap)));
  EXPECT_EQ(bitmap.bmWidth, 9);
  EXPECT_EQ(std::abs(bitmap.bmHeight), 4);
  EXPECT_EQ(bitmap.bmBitsPixel, 32);
}

TEST_F(ImageDecodeTest, BmpAndJpegDecode) {
  auto bmp = DecodeImageFile(folder_.Write(L"plain.bmp", test::EncodeBmp24(5, 3, kOpaqueRed)));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->width, 5);
  EXPECT_EQ(bmp->height, 3);
  EXPECT_FALSE(bmp->alphaChannel);

  const std::wstring jpeg_path = folder_.path() + L"photo.jpg";
  ASSERT_TRUE(test::WriteJpeg(jpeg_path, 12, 8));
  auto jpeg = DecodeImageFile(jpeg_path);
  ASSERT_TRUE(jpeg);
  EXPECT_EQ(jpeg->width, 12);
  EXPECT_EQ(jpeg->height, 8);
  EXPECT_EQ(jpeg->FrameCount(), 1u);
  EXPECT_FALSE(jpeg->alphaChannel);
}

TEST_F(ImageDecodeTest, AnimatedGifKeepsEveryFrameAndItsDelay) {
  const int pixels = 4 * 4;
  const Bytes gif = test::EncodeGif(4, 4,
                                    {{0, FrameOf(1, pixels)},
                                     {2, FrameOf(2, pixels)},
                                     {3, FrameOf(3, pixels)},
                                     {10, FrameOf(1, pixels)}});
  auto image = DecodeImageFile(folder_.Write(L"spin.gif", gif));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 4);
  EXPECT_EQ(image->height, 4);
  ASSERT_EQ(image->FrameCount(), 4u);
  for (size_t i = 0; i < 4; ++i)
    EXPECT_NE(image->Frame(i), nullptr);
  ASSERT_EQ(image->frameDelays, (std::vector<uint32_t>{0, 2, 3, 10}));
  EXPECT_EQ(image->FrameDelayMs(0), 100);
  EXPECT_EQ(image->FrameDelayMs(1), 100);
  EXPECT_EQ(image->FrameDelayMs(2), 50);
  EXPECT_EQ(image->FrameDelayMs(3), 100);
  EXPECT_EQ(image->FrameDelayMs(4), 0);
}

TEST(FrameDelayTest, ShortDelaysAreLengthenedOthersKept) {
  EXPECT_EQ(FrameDelayFromHundredths(0), 100);
  EXPECT_EQ(FrameDelayFromHundredths(2), 100);
  EXPECT_EQ(FrameDelayFromHundredths(3), 50);
  EXPECT_EQ(FrameDelayFromHundredths(4), 50);
  EXPECT_EQ(FrameDelayFromHundredths(5), 50);
  EXPECT_EQ(FrameDelayFromHundredths(7), 70);
  EXPECT_EQ(FrameDelayFromHundredths(0xFFFFFFFFu), INT32_MAX);
}

TEST_F(ImageDecodeTest, BrokenFilesGiveNoImage) {
  const Bytes png = test::EncodePng(16, 16, test::FilledPixels(16, 16, kOpaqueRed));
  Bytes random(700);
  uint32_t seed = 12345;
  for (uint8_t& byte : random) {
    seed = seed * 1103515245u + 12345u;
    byte = static_cast<uint8_t>(seed >> 16);
  }
  struct Case {
    const wchar_t* name;
    Bytes bytes;
  };
  const std::vector<Case> cases = {
      {L"empty.png", {}},
      {L"cut.png", Bytes(png.begin(), png.begin() + static_cast<ptrdiff_t>(png.size() / 2))},
      {L"header_only.png", Bytes(png.begin(), png.begin() + 8)},
      {L"random.png", random},
      {L"text.gif", Bytes{'G', 'I', 'F', '8', '9', 'a', 'x'}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name, c.name + std::wcslen(c.name)));
    EXPECT_EQ(DecodeImageFile(folder_.Write(c.name, c.bytes)), nullptr);
  }
  EXPECT_EQ(DecodeImageFile(folder_.path() + L"missing.png"), nullptr);
  EXPECT_EQ(DecodeImageFile(L""), nullptr);
  EXPECT_EQ(DecodeImageFile(folder_.path()), nullptr);  // a folder
}

TEST_F(ImageDecodeTest, DamagedGifFramesGiveNoImage) {
  const int pixels = 8 * 8;
  const Bytes good = test::EncodeGif(8, 8, {{5, FrameOf(1, pixels)}, {5, FrameOf(2, pixels)}});
  // The file ends inside the second frame's image data.
  const Bytes cut(good.begin(), good.end() - 12);
  // The second frame's codes refer to table entries that do not exist.
  Bytes garbled = good;
  for (size_t i = garbled.size() - 20; i < garbled.size() - 3; ++i)
    garbled[i] = 0xFF;

  // A GIF whose later frames cannot be decoded is treated as missing, not
  // shown with holes.
  EXPECT_EQ(DecodeImageFile(folder_.Write(L"cut.gif", cut)), nullptr);
  EXPECT_EQ(DecodeImageFile(folder_.Write(L"garbled.gif", garbled)), nullptr);
  // The intact file decodes, so the damage is what made the difference.
  auto intact = DecodeImageFile(folder_.Write(L"intact.gif", good));
  ASSERT_TRUE(intact);
  EXPECT_EQ(intact->FrameCount(), 2u);
}

}  // namespace
}  // namespace ui
