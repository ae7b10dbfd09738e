#include "ui/core/global_resources.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/resources/test_files.h"
#include "ui/control/image_spec.h"
#include "ui/core/image_info.h"
#include "ui/render/gdiplus_session.h"

namespace ui {
namespace {

TEST(GlobalResourcesTest, ResourceFolderEndsWithASeparator) {
  GlobalResources::SetResourceFolder(L"C:\\skins");
  EXPECT_EQ(GlobalResources::ResourceFolder(), L"C:\\skins\\");
  GlobalResources::SetResourceFolder(L"C:\\skins\\");
  EXPECT_EQ(GlobalResources::ResourceFolder(), L"C:\\skins\\");
  GlobalResources::SetResourceFolder(L"C:/skins/");
  EXPECT_EQ(GlobalResources::ResourceFolder(), L"C:/skins/");
  GlobalResources::SetResourceFolder(L"");
  EXPECT_EQ(GlobalResources::ResourceFolder(), L"");
}

// Fonts are process-wide; each test starts from an empty table.
class FontTableTest : public ::testing::Test {
 protected:
  void SetUp() override { GlobalResources::DestroyFonts(); }
  void TearDown() override { GlobalResources::DestroyFonts(); }

  static LOGFONTW Describe(HFONT font) {
    LOGFONTW description = {};
    GetObjectW(font, sizeof(description), &description);
    return description;
  }
};

TEST_F(FontTableTest, UnnamedFontsAreNumberedInOrder) {
  EXPECT_NE(GlobalResources::DefineFont(L"", L"Tahoma", 12, false, false, false, false), nullptr);
  EXPECT_NE(GlobalResources::DefineFont(L"", L"Arial", 14, false, false, false, false), nullptr);
  const FontInfo* first = GlobalResources::FontById(L"0");
  const FontInfo* second = GlobalResources::FontById(L"1");
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->faceName, L"Tahoma");
  EXPECT_EQ(second->faceName, L"Arial");
  EXPECT_EQ(second->size, 14);
}

TEST_F(FontTableTest, FirstDefinitionOfAnIdStays) {
  HFONT first = GlobalResources::DefineFont(L"title", L"Tahoma", 12, false, false, false, false);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GlobalResources::DefineFont(L"title", L"Arial", 20, true, false, false, true), nullptr);
  const FontInfo* font = GlobalResources::FontById(L"title");
  ASSERT_TRUE(font);
  EXPECT_EQ(font->handle, first);
  EXPECT_EQ(font->faceName, L"Tahoma");
  EXPECT_EQ(font->size, 12);
  // The refused definition still asked to be the default.
  EXPECT_EQ(GlobalResources::DefaultFontId(), L"title");
  EXPECT_EQ(GlobalResources::FontById(L""), font);
}

TEST_F(FontTableTest, RecordsAndHandlesCarryTheStyle) {
  LOGFONTW stock = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock);
  const std::wstring long_face(40, L'F');
  HFONT font = GlobalResources::DefineFont(L"styled", long_face, 15, true, true, true, false);
  ASSERT_NE(font, nullptr);
  const LOGFONTW description = Describe(font);
  EXPECT_EQ(description.lfHeight, -15);
  EXPECT_EQ(description.lfWeight, stock.lfWeight + FW_BOLD);
  EXPECT_TRUE(description.lfUnderline);
  EXPECT_TRUE(description.lfItalic);
  EXPECT_EQ(description.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(std::wstring(description.lfFaceName), std::wstring(LF_FACESIZE - 1, L'F'));

  const FontInfo* record = GlobalResources::FontById(L"styled");
  ASSERT_TRUE(record);
  EXPECT_TRUE(record->bold && record->underline && record->italic);
}

TEST_F(FontTableTest, SystemFaceBecomesTheSystemUiFace) {
  ASSERT_NE(GlobalResources::DefineFont(L"sys", L"system", 12, false, false, false, false),
            nullptr);
  // Wine reports a Windows newer than Vista.
  EXPECT_EQ(GlobalResources::FontById(L"sys")->faceName, L"微软雅黑");
  ASSERT_NE(GlobalResources::DefineFont(L"sys2", L"System", 12, false, false, false, false),
            nullptr);
  EXPECT_EQ(GlobalResources::FontById(L"sys2")->faceName, L"System");
}

TEST_F(FontTableTest, UnknownIdsAndAnEmptyTableGiveNoFont) {
  EXPECT_EQ(GlobalResources::FontById(L"nothing"), nullptr);
  ASSERT_NE(GlobalResources::DefineFont(L"a", L"Tahoma", 12, false, false, false, false), nullptr);
  EXPECT_EQ(GlobalResources::FontById(L"A"), nullptr);
  GlobalResources::DestroyFonts();
  EXPECT_EQ(GlobalResources::FontById(L"a"), nullptr);
}

TEST(GlobalResourcesTest, ColoursResolveByExactName) {
  // The table lives as long as the process: a fresh name for each run.
  static int run = 0;
  const std::wstring unknown = L"colour_test_unknown_" + std::to_wstring(run++);
  GlobalResources::DefineColor(L"colour_test_red", 0xFFFF0000);
  EXPECT_EQ(GlobalResources::ColorByName(L"colour_test_red"), 0xFFFF0000u);
  EXPECT_EQ(GlobalResources::ColorByName(L"Colour_Test_Red"), 0u);
  EXPECT_EQ(GlobalResources::ColorByName(unknown), 0u);
  // Entered with 0 by the lookup, it can still be defined later.
  GlobalResources::DefineColor(unknown, 0x80123456);
  EXPECT_EQ(GlobalResources::ColorByName(unknown), 0x80123456u);
}

TEST(GlobalResourcesTest, DefaultTextColourNames) {
  EXPECT_EQ(GlobalResources::DefaultTextColorName(), L"textdefaultcolor");
  EXPECT_EQ(GlobalResources::DisabledTextColorName(), L"textdefaultdisablecolor");
  GlobalResources::SetDefaultTextColorName(L"ink");
  GlobalResources::SetDisabledTextColorName(L"ash");
  EXPECT_EQ(GlobalResources::DefaultTextColorName(), L"ink");
  EXPECT_EQ(GlobalResources::DisabledTextColorName(), L"ash");
  GlobalResources::SetDefaultTextColorName(GlobalResources::kDefaultTextColorName);
  GlobalResources::SetDisabledTextColorName(GlobalResources::kDefaultDisabledTextColorName);
}

TEST(GlobalResourcesTest, ClassesAreReplacedAndUnknownOnesEmpty) {
  GlobalResources::DefineClass(L"class_test_btn", L"width=\"10\"");
  GlobalResources::DefineClass(L"class_test_btn", L"height=\"20\"");
  EXPECT_EQ(GlobalResources::ClassAttributes(L"class_test_btn"), L"height=\"20\"");
  EXPECT_EQ(GlobalResources::ClassAttributes(L"class_test_none"), L"");
}

TEST(GlobalResourcesTest, ImagePathsAreNormalised) {
  EXPECT_EQ(GlobalResources::NormalizeImagePath(L"a/b\\\\c//d"), L"a\\b\\c\\d");
  EXPECT_EQ(GlobalResources::NormalizeImagePath(L"a\\\\\\b"), L"a\\\\b");
  EXPECT_EQ(GlobalResources::NormalizeImagePath(L"/"), L"\\");
  EXPECT_EQ(GlobalResources::NormalizeImagePath(L""), L"");
}

class ImageCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.Write(L"img\\dot.png",
                          test::EncodePng(3, 3, test::FilledPixels(3, 3, {0, 0, 255, 255})));
  }

  // The same file written with forward slashes.
  std::wstring SlashPath() const {
    std::wstring slashed = path_;
    for (wchar_t& c : slashed) {
      if (c == L'\\')
        c = L'/';
    }
    return slashed;
  }

  GdiplusSession gdiplus_;
  test::TempFolder folder_;
  std::wstring path_;
};

TEST_F(ImageCacheTest, OneDecodedCopyWhileHeldThenGone) {
  EXPECT_EQ(GlobalResources::FindCachedImage(path_), nullptr);
  std::shared_ptr<ImageInfo> first = GlobalResources::LoadImageCached(path_);
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->cached);
  std::shared_ptr<ImageInfo> second = GlobalResources::LoadImageCached(SlashPath());
  EXPECT_EQ(first, second);
  EXPECT_EQ(GlobalResources::FindCachedImage(SlashPath()), first);

  first.reset();
  EXPECT_EQ(GlobalResources::FindCachedImage(path_), second);
  second.reset();
  // The cache kept nothing alive.
  EXPECT_EQ(GlobalResources::FindCachedImage(path_), nullptr);
  std::shared_ptr<ImageInfo> again = GlobalResources::LoadImageCached(path_);
  ASSERT_TRUE(again);
  EXPECT_EQ(GlobalResources::FindCachedImage(path_), again);
}

TEST_F(ImageCacheTest, FailuresAreNotCached) {
  const std::wstring broken = folder_.Write(L"broken.png", test::Bytes{1, 2, 3});
  EXPECT_EQ(GlobalResources::LoadImageCached(broken), nullptr);
  EXPECT_EQ(GlobalResources::FindCachedImage(broken), nullptr);
  // Once the file is good, the next load decodes it.
  folder_.Write(L"broken.png", test::EncodePng(2, 2, test::FilledPixels(2, 2, {1, 2, 3, 255})));
  EXPECT_NE(GlobalResources::LoadImageCached(broken), nullptr);
}

TEST_F(ImageCacheTest, ForgottenEntryIsNotRemovedAgainByTheOldImage) {
  std::shared_ptr<ImageInfo> old_image = GlobalResources::LoadImageCached(path_);
  ASSERT_TRUE(old_image);
  GlobalResources::ForgetCachedImage(GlobalResources::NormalizeImagePath(path_));
  EXPECT_EQ(GlobalResources::FindCachedImage(path_), nullptr);

  std::shared_ptr<ImageInfo> new_image = GlobalResources::LoadImageCached(path_);
  ASSERT_TRUE(new_image);
  EXPECT_NE(new_image, old_image);
  old_image.reset();
  // The entry now belongs to the new image and stays.
  EXPECT_EQ(GlobalResources::FindCachedImage(path_), new_image);
}

TEST_F(ImageCacheTest, DescriptorsShareTheImageOfTheirFile) {
  GlobalResources::SetResourceFolder(folder_.path());
  ImageSpec button;
  button.SetImageString(L"file='dot.png' corner='1,1,1,1'");
  ImageSpec icon;
  icon.SetImageString(L"dot.png");
  ASSERT_TRUE(button.ResolveAndLoad(L"img/"));
  ASSERT_TRUE(icon.ResolveAndLoad(L"img\\"));
  EXPECT_EQ(button.image, icon.image);
  EXPECT_EQ(button.image->width, 3);

  ImageSpec copy = button;
  EXPECT_EQ(copy.image, button.image);
  button.SetImageString(L"other.png");
  icon.Reset();
  EXPECT_EQ(button.image, nullptr);
  EXPECT_NE(GlobalResources::FindCachedImage(path_), nullptr);
  copy.ReleaseImage();
  EXPECT_EQ(GlobalResources::FindCachedImage(path_), nullptr);

  // Absolute names ignore the folders; missing files give no image.
  ImageSpec absolute;
  absolute.SetImageString(L"file='" + path_ + L"'");
  EXPECT_TRUE(absolute.ResolveAndLoad(L"elsewhere\\"));
  ImageSpec missing;
  missing.SetImageString(L"file='nothere.png'");
  EXPECT_FALSE(missing.ResolveAndLoad(L"img\\"));
  ImageSpec empty;
  EXPECT_FALSE(empty.ResolveAndLoad(L"img\\"));
  GlobalResources::SetResourceFolder(L"");
}

}  // namespace
}  // namespace ui
