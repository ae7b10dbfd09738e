#include "ui/control/image_spec.h"

#include <gtest/gtest.h>

#include <string>

namespace ui {
namespace {

constexpr UiRect kUnset = {-1, -1, -1, -1};

ImageSpec Parse(const std::wstring& text) {
  ImageSpec spec;
  spec.SetImageString(text);
  return spec;
}

TEST(ImageSpecTest, BareFileNameIsTheWholeString) {
  for (const std::wstring text : {L"btn.png", L"skins/my button.png", L"a=b", L"dir\\x.png "}) {
    ImageSpec spec = Parse(text);
    EXPECT_EQ(spec.fileName, text);
    EXPECT_EQ(spec.attributeString, text);
    EXPECT_EQ(spec.dest, kUnset);
    EXPECT_EQ(spec.source, kUnset);
    EXPECT_EQ(spec.corner, UiRect());
    EXPECT_EQ(spec.fade, 255);
    EXPECT_EQ(spec.playCount, -1);
    EXPECT_FALSE(spec.HasDest());
  }
}

TEST(ImageSpecTest, PairsSetEveryProperty) {
  ImageSpec spec = Parse(
      L"file='btn.png' dest='1,2,30,40' source='0,0,10,20' corner='4,4,5,6' fade='200' "
      L"xtiled='true' ytiled='true' playcount='3'");
  EXPECT_EQ(spec.fileName, L"btn.png");
  EXPECT_EQ(spec.dest, (UiRect{1, 2, 30, 40}));
  EXPECT_TRUE(spec.HasDest());
  EXPECT_EQ(spec.source, (UiRect{0, 0, 10, 20}));
  EXPECT_TRUE(spec.HasSource());
  EXPECT_EQ(spec.corner, (UiRect{4, 4, 5, 6}));
  EXPECT_EQ(spec.fade, 200);
  EXPECT_TRUE(spec.xTiled);
  EXPECT_TRUE(spec.yTiled);
  EXPECT_EQ(spec.playCount, 3);

  EXPECT_EQ(Parse(L"res='r.png'").fileName, L"r.png");
  // Without a file pair the file name stays the whole string.
  EXPECT_EQ(Parse(L"fade='10'").fileName, L"fade='10'");
}

TEST(ImageSpecTest, NumbersAreReadLenientlyAndSafely) {
  EXPECT_EQ(Parse(L"file='a' fade='300'").fade, 44);
  EXPECT_EQ(Parse(L"file='a' fade='-1'").fade, 255);
  EXPECT_EQ(Parse(L"file='a' fade='99999999999999999999'").fade, 255);
  EXPECT_EQ(Parse(L"file='a' fade='x'").fade, 0);
  EXPECT_EQ(Parse(L"file='a' fade=' 12abc'").fade, 12);

  EXPECT_EQ(Parse(L"file='a' playcount='99999999999'").playCount, INT32_MAX);
  EXPECT_EQ(Parse(L"file='a' playcount='-99999999999'").playCount, INT32_MIN);
  EXPECT_EQ(Parse(L"file='a' playcount='zero'").playCount, 0);

  // Short lists read 0 for the missing numbers and stop at the end.
  EXPECT_EQ(Parse(L"file='a' dest='1,2'").dest, (UiRect{1, 2, 0, 0}));
  EXPECT_EQ(Parse(L"file='a' dest='7'").dest, (UiRect{7, 0, 0, 0}));
  // Any one character separates; an unreadable one reads as 0.
  EXPECT_EQ(Parse(L"file='a' corner='1;2 3x4'").corner, (UiRect{1, 2, 3, 4}));
  EXPECT_EQ(Parse(L"file='a' corner='a,1,2,3'").corner, (UiRect{0, 0, 1, 2}));
  EXPECT_EQ(Parse(L"file='a' source='-5,99999999999,-99999999999,+3'").source,
            (UiRect{-5, INT32_MAX, INT32_MIN, 3}));
}

TEST(ImageSpecTest, FlagsAreTrueOnlyForTrue) {
  EXPECT_FALSE(Parse(L"file='a' xtiled='TRUE'").xTiled);
  EXPECT_FALSE(Parse(L"file='a' ytiled='1'").yTiled);
  EXPECT_TRUE(Parse(L"file='a' destscale='true' xtiled='true'").xTiled);
}

TEST(ImageSpecTest, MalformedPairsEndParsingKeepingEarlierOnes) {
  struct Case {
    const wchar_t* text;
    uint8_t fade;
    int32_t play_count;
  };
  const Case cases[] = {
      {L"file='a' fade='9' playcount", 9, -1},                 // no "="
      {L"file='a' fade='9' playcount=2", 9, -1},               // no quote
      {L"file='a' fade='9' playcount=\"2\"", 9, -1},           // double quotes
      {L"file='a' fade='9' playcount='2", 9, -1},              // unclosed
      {L"file='a' fade='9'playcount='2'", 9, -1},              // no blank between
      {L"file='a' fade='9'\tplaycount='2'", 9, -1},            // a tab is not the space
      {L"file='a' fade='9'  playcount='2'", 9, 2},             // two blanks are fine
      {L"file='a' fade = '9' playcount = '2'", 9, 2},          // blanks around "="
      {L"file='a' unknown='x' fade='9' playcount='2'", 9, 2},  // unknown keys skipped
      {L"file='a' fade='' playcount='2'", 255, 2},             // empty value ignored
      {L"file='a' Fade='9' playcount='2'", 255, 2},            // keys are case-sensitive
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
    ImageSpec spec = Parse(c.text);
    EXPECT_EQ(spec.fileName, L"a");
    EXPECT_EQ(spec.fade, c.fade);
    EXPECT_EQ(spec.playCount, c.play_count);
  }
}

TEST(ImageSpecTest, TextEndsAtAnEmbeddedNul) {
  std::wstring text = L"file='a' fade='9' ";
  text.push_back(L'\0');
  text += L"playcount='2'";
  ImageSpec spec = Parse(text);
  EXPECT_EQ(spec.fade, 9);
  EXPECT_EQ(spec.playCount, -1);
}

TEST(ImageSpecTest, NewStringResetsPropertiesAndPlayback) {
  ImageSpec spec = Parse(L"file='a' fade='9' dest='1,1,2,2' xtiled='true' playcount='1'");
  spec.frameIndex = 3;
  spec.playing = true;
  spec.cyclesPlayed = 2;
  spec.SetImageString(L"file='b'");
  EXPECT_EQ(spec.fileName, L"b");
  EXPECT_EQ(spec.attributeString, L"file='b'");
  EXPECT_EQ(spec.fade, 255);
  EXPECT_EQ(spec.dest, kUnset);
  EXPECT_FALSE(spec.xTiled);
  EXPECT_EQ(spec.playCount, -1);
  EXPECT_EQ(spec.frameIndex, 0);
  EXPECT_FALSE(spec.playing);
  EXPECT_EQ(spec.cyclesPlayed, 0);

  spec.Reset();
  EXPECT_TRUE(spec.fileName.empty());
  EXPECT_TRUE(spec.attributeString.empty());
}

TEST(ImageSpecTest, ModificationOverridesOnlyItsPairs) {
  ImageSpec spec = Parse(L"file='bar.png' corner='2,2,2,2' fade='100'");
  ImageSpec copy = spec;
  copy.ApplyImageString(L"dest='0,0,10,10' fade='50'");
  EXPECT_EQ(copy.fileName, L"bar.png");
  EXPECT_EQ(copy.corner, (UiRect{2, 2, 2, 2}));
  EXPECT_EQ(copy.dest, (UiRect{0, 0, 10, 10}));
  EXPECT_EQ(copy.fade, 50);
  EXPECT_EQ(spec.fade, 100);
  EXPECT_EQ(spec.dest, kUnset);
}

}  // namespace
}  // namespace ui
