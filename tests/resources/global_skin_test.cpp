#include <gtest/gtest.h>

#include <string>

#include "tests/resources/test_files.h"
#include "ui/core/global_resources.h"
#include "ui/core/language_strings.h"
#include "ui/core/markup.h"
#include "ui/core/skin_builder.h"
#include "ui/core/window.h"
#include "ui/render/render_context.h"
#include "ui/render/render_factory.h"

namespace ui {
namespace {

// The global tables are process-wide: every test uses names of its own and
// restores what it changed.
class GlobalSkinTest : public ::testing::Test {
 protected:
  void SetUp() override { GlobalResources::DestroyFonts(); }
  void TearDown() override {
    GlobalResources::DestroyFonts();
    GlobalResources::SetDefaultTextColorName(GlobalResources::kDefaultTextColorName);
    GlobalResources::SetDisabledTextColorName(GlobalResources::kDefaultDisabledTextColorName);
    GlobalResources::SetResourceFolder(L"");
  }

  bool ReadText(const wchar_t* xml) {
    EXPECT_TRUE(MarkupDocument().LoadFromString(xml)) << "test document does not parse";
    return ReadSkin(xml);
  }

  // Files the definitions of a skin as start-up does with "global.xml";
  // true when the skin loaded with a "Global" root.
  static bool ReadSkin(const std::wstring& source) {
    Window window;
    SkinBuilder builder;
    delete builder.Create(source, nullptr, &window, nullptr);
    const MarkupElement root = builder.document().Root();
    return root.IsValid() && std::wstring(root.Name()) == L"Global";
  }
};

TEST_F(GlobalSkinTest, RootAttributesNameTheDefaultTextColours) {
  ASSERT_TRUE(
      ReadText(L"<Global disabledfontcolor=\"gs_grey\" defaultfontcolor=\"gs_ink\" "
               L"linkfontcolor=\"gs_link\" unknown=\"x\"/>"));
  EXPECT_EQ(GlobalResources::DisabledTextColorName(), L"gs_grey");
  EXPECT_EQ(GlobalResources::DefaultTextColorName(), L"gs_ink");
}

TEST_F(GlobalSkinTest, FontsAreDefinedInOrderWithTheirStyle) {
  ASSERT_TRUE(
      ReadText(L"<Global>"
               L"<Font id=\"gs_title\" name=\"Tahoma\" size=\"18\" bold=\"true\" default=\"true\"/>"
               L"<Font name=\"Arial\"/>"
               L"<Font id=\"gs_noface\" size=\"9\"/>"
               L"<Font id=\"gs_title\" name=\"Arial\" size=\"30\"/>"
               L"<Font id=\"gs_flags\" name=\"Arial\" underline=\"True\" italic=\"true\"/>"
               L"</Global>"));
  const FontInfo* title = GlobalResources::FontById(L"gs_title");
  ASSERT_TRUE(title);
  EXPECT_EQ(title->faceName, L"Tahoma");
  EXPECT_EQ(title->size, 18);
  EXPECT_TRUE(title->bold);
  EXPECT_EQ(GlobalResources::FontById(L""), title);

  // The unnamed font is the second in the table; its size defaults to 12.
  const FontInfo* unnamed = GlobalResources::FontById(L"1");
  ASSERT_TRUE(unnamed);
  EXPECT_EQ(unnamed->faceName, L"Arial");
  EXPECT_EQ(unnamed->size, 12);

  EXPECT_EQ(GlobalResources::FontById(L"gs_noface"), nullptr);
  const FontInfo* flags = GlobalResources::FontById(L"gs_flags");
  ASSERT_TRUE(flags);
  EXPECT_FALSE(flags->underline);
  EXPECT_TRUE(flags->italic);
}

TEST_F(GlobalSkinTest, ColoursAreHexAfterTheFirstCharacter) {
  ASSERT_TRUE(
      ReadText(L"<Global>"
               L"<TextColor name=\"gs_red\" value=\"#FFFF0000\"/>"
               L"<TextColor name=\"gs_nohash\" value=\"80123456\"/>"
               L"<TextColor name=\"gs_empty\" value=\"\"/>"
               L"<TextColor name=\"gs_missing\"/>"
               L"<TextColor value=\"#FF00FF00\"/>"
               L"<TextColor name=\"gs_junk\" value=\"#zz\"/>"
               L"</Global>"));
  EXPECT_EQ(GlobalResources::ColorByName(L"gs_red"), 0xFFFF0000u);
  EXPECT_EQ(GlobalResources::ColorByName(L"gs_nohash"), 0x00123456u);
  EXPECT_EQ(GlobalResources::ColorByName(L"gs_empty"), 0u);
  EXPECT_EQ(GlobalResources::ColorByName(L"gs_missing"), 0u);
  EXPECT_EQ(GlobalResources::ColorByName(L"gs_junk"), 0u);
}

TEST_F(GlobalSkinTest, ClassesJoinTheirAttributes) {
  ASSERT_TRUE(
      ReadText(L"<Global>"
               L"<Class name=\"gs_btn\" value=\"width=&quot;10&quot;\" height=\"20\" font=\"f1\"/>"
               L"<Class name=\"gs_edit\" _value=\"hello\" value=\"  \"/>"
               L"<Class name=\"gs_first\" width=\"1\"/>"
               L"<Class name=\"gs_first\" width=\"2\"/>"
               L"<Class width=\"3\"/>"
               L"<Image name=\"gs_image\" value=\"x\"/>"
               L"</Global>"));
  EXPECT_EQ(GlobalResources::ClassAttributes(L"gs_btn"), L"width=\"10\" height=\"20\" font=\"f1\"");
  EXPECT_EQ(GlobalResources::ClassAttributes(L"gs_edit"), L"value=\"hello\"  ");
  EXPECT_EQ(GlobalResources::ClassAttributes(L"gs_first"), L"width=\"2\"");
  EXPECT_EQ(GlobalResources::ClassAttributes(L"gs_image"), L"");
}

TEST_F(GlobalSkinTest, OtherRootsDefineNothing) {
  EXPECT_FALSE(
      ReadText(L"<Window defaultfontcolor=\"gs_window_ink\">"
               L"<TextColor name=\"gs_window_colour\" value=\"#FF010203\"/></Window>"));
  EXPECT_EQ(GlobalResources::DefaultTextColorName(), L"textdefaultcolor");
  EXPECT_EQ(GlobalResources::ColorByName(L"gs_window_colour"), 0u);
}

TEST_F(GlobalSkinTest, BadFilesDefineNothing) {
  test::TempFolder folder;
  GlobalResources::SetResourceFolder(folder.path());
  EXPECT_FALSE(ReadSkin(L"global.xml"));

  folder.Write(L"global.xml", std::string());
  EXPECT_FALSE(ReadSkin(L"global.xml"));

  // Cut off inside a definition: the parse fails as a whole.
  folder.Write(L"global.xml",
               std::string("<Global defaultfontcolor=\"gs_cut_ink\"><TextColor name=\"gs_cut\" "
                           "value=\"#FF0000"));
  EXPECT_FALSE(ReadSkin(L"global.xml"));
  EXPECT_EQ(GlobalResources::DefaultTextColorName(), L"textdefaultcolor");
  EXPECT_EQ(GlobalResources::ColorByName(L"gs_cut"), 0u);

  test::Bytes noise(2048);
  for (size_t i = 0; i < noise.size(); ++i)
    noise[i] = static_cast<uint8_t>(i * 131 + 7);
  folder.Write(L"global.xml", noise);
  EXPECT_FALSE(ReadSkin(L"global.xml"));
}

TEST_F(GlobalSkinTest, StartupReadsTheFolderAndShutdownEndsIt) {
  test::TempFolder folder;
  folder.Write(L"themes\\plain\\global.xml",
               std::string("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n"
                           "<Global defaultfontcolor=\"gs_start_ink\">\n"
                           "  <Font id=\"gs_start\" name=\"Tahoma\" size=\"13\"/>\n"
                           "  <TextColor name=\"gs_start_ink\" value=\"#FF112233\"/>\n"
                           "  <Class name=\"gs_start_class\" width=\"5\"/>\n"
                           "</Global>\n"));
  folder.Write(L"lang\\xx\\gdstrings.ini", std::string("gs_hello=Hello\n"));

  GlobalResources::Startup(folder.path(), nullptr, L"themes\\plain", L"lang\\xx");
  EXPECT_EQ(GlobalResources::ResourceFolder(), folder.path() + L"themes\\plain\\");
  ASSERT_NE(GlobalResources::RenderFactory(), nullptr);
  auto context = GlobalResources::CreateRenderContext();
  ASSERT_TRUE(context);
  EXPECT_TRUE(context->Resize(4, 4));
  EXPECT_EQ(GlobalResources::DefaultTextColorName(), L"gs_start_ink");
  EXPECT_EQ(GlobalResources::ColorByName(L"gs_start_ink"), 0xFF112233u);
  ASSERT_NE(GlobalResources::FontById(L"gs_start"), nullptr);
  EXPECT_EQ(GlobalResources::ClassAttributes(L"gs_start_class"), L"width=\"5\"");
  EXPECT_EQ(LanguageStrings::Instance()->StringById(L"gs_hello"), L"Hello");

  GlobalResources::Shutdown();
  EXPECT_EQ(GlobalResources::RenderFactory(), nullptr);
  EXPECT_EQ(GlobalResources::CreateRenderContext(), nullptr);
  EXPECT_EQ(GlobalResources::FontById(L"gs_start"), nullptr);
  // Colours and classes outlive the shutdown.
  EXPECT_EQ(GlobalResources::ColorByName(L"gs_start_ink"), 0xFF112233u);
  GlobalResources::Shutdown();  // a second shutdown does no harm
}

TEST_F(GlobalSkinTest, StartupWithoutFilesLeavesTheTablesEmpty) {
  test::TempFolder folder;
  LanguageStrings::Instance()->AddLine(L"gs_stale=old");
  GlobalResources::Startup(folder.path(), nullptr, L"themes\\none", L"lang\\none");
  EXPECT_EQ(GlobalResources::DefaultTextColorName(), L"textdefaultcolor");
  EXPECT_EQ(GlobalResources::FontById(L""), nullptr);
  EXPECT_EQ(LanguageStrings::Instance()->size(), 0u);
  EXPECT_EQ(LanguageStrings::Instance()->StringById(L"gs_stale"), L"");
  EXPECT_NE(GlobalResources::RenderFactory(), nullptr);
  GlobalResources::Shutdown();
}

// The resource folder the build installs beside the program.
TEST_F(GlobalSkinTest, ShippedResourcesLoad) {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring root = module;
  root = root.substr(0, root.find_last_of(L"\\/") + 1) + L"resources\\";

  GlobalResources::Startup(root, nullptr, L"themes\\default", L"lang\\zh_CN");
  const FontInfo* font = GlobalResources::FontById(L"");
  ASSERT_NE(font, nullptr) << "global.xml defines no default font";
  EXPECT_EQ(font->faceName, L"微软雅黑");
  EXPECT_EQ(GlobalResources::DefaultTextColorName(), L"textdefaultcolor");
  EXPECT_EQ(GlobalResources::ColorByName(L"textdefaultcolor"), 0xFF333333u);
  EXPECT_NE(GlobalResources::ColorByName(L"textdefaultdisablecolor"), 0u);
  EXPECT_EQ(
      GlobalResources::ClassAttributes(L"btn_wnd_close").rfind(L"width=\"30\" height=\"30\" ", 0),
      0u);
  // Every font a class names exists.
  for (const wchar_t* id : {L"system_12", L"system_14", L"system_bold_12", L"system_bold_14"})
    EXPECT_NE(GlobalResources::FontById(id), nullptr) << id;
  EXPECT_EQ(LanguageStrings::Instance()->StringById(L"STRID_CLOSE"), L"关闭");
  EXPECT_EQ(LanguageStrings::Instance()->StringById(L"STRID_LOAD_FAILED"),
            L"页面加载失败，\n请检查网络后重试。");
  GlobalResources::Shutdown();
}

}  // namespace
}  // namespace ui
