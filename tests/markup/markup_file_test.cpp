#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/markup/markup_test_support.h"
#include "ui/core/markup.h"

namespace ui {
namespace {

using test::Show;

namespace fs = std::filesystem;

MarkupString PathText(const fs::path& path) {
  const std::u16string text = path.u16string();
  return MarkupString(text.begin(), text.end());
}

// A private folder for each test, removed afterwards.
class MarkupFileTest : public testing::Test {
 protected:
  void SetUp() override {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / (std::string("markup_test_") + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    MarkupDocument::SetResourceFolderProvider(nullptr);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  fs::path Write(const std::string& name, const std::string& bytes) {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static MarkupString Folder() { return folder_with_separator_; }

  fs::path folder_;
  static inline MarkupString folder_with_separator_;
};

TEST_F(MarkupFileTest, ReadsUtf8WithOrWithoutByteOrderMark) {
  const std::string skin = "<Window caption=\"\xE6\xA0\x87\xE9\xA2\x98 \xF0\x9D\x84\x9E\"/>";
  for (const std::string& bytes : {skin, "\xEF\xBB\xBF" + skin}) {
    MarkupDocument document;
    ASSERT_TRUE(document.LoadFromFile(PathText(Write("skin.xml", bytes)).c_str()))
        << Show(document.LastErrorMessage());
    EXPECT_EQ(Show(document.Root().Name()), "Window");
    EXPECT_EQ(Show(document.Root().AttributeValue(0)), "\\u6807\\u9898 \\uD834\\uDD1E");
  }
}

TEST_F(MarkupFileTest, OnlyAFullByteOrderMarkIsDropped) {
  MarkupDocument document;
  // A mark and nothing else is an empty document.
  EXPECT_TRUE(document.LoadFromFile(PathText(Write("bom.xml", "\xEF\xBB\xBF")).c_str()));
  EXPECT_FALSE(document.Root().IsValid());
  // Two of its bytes are not a mark but broken UTF-8.
  EXPECT_FALSE(document.LoadFromFile(PathText(Write("half.xml", "\xEF\xBB<a/>")).c_str()));
  EXPECT_EQ(Show(document.LastErrorMessage()), "Expected start tag");
  EXPECT_EQ(Show(document.LastErrorLocation()).substr(0, 6), "\\uFFFD");
}

TEST_F(MarkupFileTest, BrokenUtf8BecomesReplacementCharacters) {
  MarkupDocument document;
  ASSERT_TRUE(document.LoadFromFile(PathText(Write("bad.xml", "<a v=\"x\xFFy\"/>")).c_str()));
  EXPECT_EQ(Show(document.Root().AttributeValue(0)), "x\\uFFFDy");
}

TEST_F(MarkupFileTest, AnEmbeddedNulEndsTheText) {
  MarkupDocument document;
  // ("nul.xml" would name the Windows null device.)
  ASSERT_TRUE(
      document.LoadFromFile(PathText(Write("zero.xml", std::string("<a/>\0<b/>", 9))).c_str()));
  EXPECT_FALSE(document.Root().NextSibling().IsValid());
}

TEST_F(MarkupFileTest, FileErrorsHaveNoLocation) {
  MarkupDocument document;
  EXPECT_FALSE(document.LoadFromFile(PathText(folder_ / "missing.xml").c_str()));
  EXPECT_EQ(Show(document.LastErrorMessage()), "Error opening file");
  EXPECT_EQ(Show(document.LastErrorLocation()), "");

  EXPECT_FALSE(document.LoadFromFile(PathText(Write("empty.xml", "")).c_str()));
  EXPECT_EQ(Show(document.LastErrorMessage()), "File is empty");
  EXPECT_EQ(Show(document.LastErrorLocation()), "");
}

// A valid document of exactly `size` bytes.
std::string DocumentOfSize(size_t size) {
  return "<a>" + std::string(size - 7, ' ') + "</a>";
}

TEST_F(MarkupFileTest, FilesUpTo4MiBAreRead) {
  const std::string bytes = DocumentOfSize(4194304);
  ASSERT_EQ(bytes.size(), MarkupDocument::kMaxFileSize);
  MarkupDocument document;
  EXPECT_TRUE(document.LoadFromFile(PathText(Write("limit.xml", bytes)).c_str()))
      << Show(document.LastErrorMessage());
  EXPECT_EQ(Show(document.Root().Name()), "a");

  EXPECT_FALSE(document.LoadFromFile(PathText(Write("over.xml", DocumentOfSize(4194305))).c_str()));
  EXPECT_EQ(Show(document.LastErrorMessage()), "File too large");
  EXPECT_EQ(Show(document.LastErrorLocation()), "");
  EXPECT_FALSE(document.Root().IsValid());
}

TEST_F(MarkupFileTest, RelativePathsAreReadBelowTheResourceFolder) {
  Write("relative.xml", "<Relative/>");
  folder_with_separator_ = PathText(folder_ / "");
  MarkupDocument::SetResourceFolderProvider(&MarkupFileTest::Folder);
  MarkupDocument document;
  ASSERT_TRUE(document.LoadFromFile(PathText("relative.xml").c_str()))
      << Show(document.LastErrorMessage());
  EXPECT_EQ(Show(document.Root().Name()), "Relative");
  // Absolute paths are used unchanged.
  const fs::path other = Write("absolute.xml", "<Absolute/>");
  ASSERT_TRUE(document.LoadFromFile(PathText(other).c_str()));
  EXPECT_EQ(Show(document.Root().Name()), "Absolute");
}

// Found by fuzzing: text after an embedded NUL stays in the buffer, and an
// element without attributes whose text runs to that NUL must not pick up
// attributes from beyond it.
TEST_F(MarkupFileTest, NothingBeyondAnEmbeddedNulIsRead) {
  MarkupDocument document;
  const std::string bytes("<Wi>&lu\0\"W<W>&lt;\"q<W text=\"x\">", 31);
  ASSERT_TRUE(document.LoadFromUtf8(bytes.data(), bytes.size()));
  EXPECT_EQ(Show(document.Root().Name()), "Wi");
  EXPECT_EQ(document.Root().AttributeCount(), 0);
  EXPECT_FALSE(document.Root().HasChildren());
  EXPECT_EQ(document.ElementCount(), 2u);
}

TEST_F(MarkupFileTest, Utf8FromMemoryBehavesLikeAFile) {
  MarkupDocument document;
  const std::string skin = "\xEF\xBB\xBF<a v=\"\xC3\xA9\"/>";
  ASSERT_TRUE(document.LoadFromUtf8(skin.data(), skin.size()));
  EXPECT_EQ(Show(document.Root().AttributeValue(0)), "\\u00E9");
  ASSERT_TRUE(document.LoadFromUtf8(nullptr, 0));
  EXPECT_FALSE(document.Root().IsValid());
}

}  // namespace
}  // namespace ui
