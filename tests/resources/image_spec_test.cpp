#include "ui/control/image_spec.h"

#include <gtest/gtest.h>

#include <string>

namespace ui {
namespace {

constexpr UiRect kUnset = {-1, -1, -1, -1};

ImageSpec Parse(const std::wstring& text) {
  ImageSpec descriptor;
  descriptor.SetImageString(text);
  return descriptor;
}

TEST(ImageSpecTest, BareFileNameIsTheWholeString) {
  for (const std::wstring text : {L"btn.png", L"skins/my button.png", L"a=b", L"dir\\x.png "}) {
    ImageSpec descriptor = Parse(text);
    EXPECT_EQ(descriptor.fileName, text);
    EXPECT_EQ(descriptor.attributeString, text);
    EXPECT_EQ(descriptor.dest, kUnset);
    EXPECT_EQ(descriptor.source, kUnset);
    EXPECT_EQ(descriptor.corner, UiRect());
    EXPECT_EQ(descriptor.fade, 255);
    EXPECT_EQ(descriptor.playCount, -1);
    EXPECT_FALSE(descriptor.HasDest());
  }
}

TEST(ImageSpecTest, PairsSetEveryProperty) {
  ImageSpec descriptor = Parse(
      L"file='btn.png' dest='1,2,30,40' source='0,0,10,20' corner='4,4,5,6' fade='200' "
      L"xtiled='true' ytiled='true' playcount='3'");
  EXPECT_EQ(descriptor.fileName, L"btn.png");
  EXPECT_EQ(descriptor.dest, (UiRect{1, 2, 30, 40}));
  EXPECT_TRUE(descriptor.HasDest());
  EXPECT_EQ(descriptor.source, (UiRect{0, 0, 10, 20}));
  EXPECT_TRUE(descriptor.HasSource());
  EXPECT_EQ(descriptor.corner, (UiRect{4, 4, 5, 6}));
  EXPECT_EQ(descriptor.fade, 200);
  EXPECT_TRUE(descriptor.xTiled);
  EXPECT_TRUE(descriptor.yTiled);
  EXPECT_EQ(descriptor.playCount, 3);

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
    ImageSpec descriptor = Parse(c.text);
    EXPECT_EQ(descriptor.fileName, L"a");
    EXPECT_EQ(descriptor.fade, c.fade);
    EXPECT_EQ(descriptor.playCount, c.play_count);
  }
}

TEST(ImageSpecTest, TextEndsAtAnEmbeddedNul) {
  std::wstring text = L"file='a' fade='9' ";
  text.push_back(L'\0');
  text += L"playcount='2'";
  ImageSpec descriptor = Parse(text);
  EXPECT_EQ(descriptor.fade, 9);
  EXPECT_EQ(descriptor.playCount, -1);
}

TEST(ImageSpecTest, NewStringResetsPropertiesAndPlayback) {
  ImageSpec descriptor = Parse(L"file='a' fade='9' dest='1,1,2,2' xtiled='true' playcount='1'");
  descriptor.frameIndex = 3;
  descriptor.playing = true;
  descriptor.cyclesPlayed = 2;
  descriptor.SetImageString(L"file='b'");
  EXPECT_EQ(descriptor.fileName, L"b");
  EXPECT_EQ(descriptor.attributeString, L"file='b'");
  EXPECT_EQ(descriptor.fade, 255);
  EXPECT_EQ(descriptor.dest, kUnset);
  EXPECT_FALSE(descriptor.xTiled);
  EXPECT_EQ(descriptor.playCount, -1);
  EXPECT_EQ(descriptor.frameIndex, 0);
  EXPECT_FALSE(descriptor.playing);
  EXPECT_EQ(descriptor.cyclesPlayed, 0);

  descriptor.Reset();
  EXPECT_TRUE(descriptor.fileName.empty());
  EXPECT_TRUE(descriptor.attributeString.empty());
}

TEST(ImageSpecTest, ModificationOverridesOnlyItsPairs) {
  ImageSpec descriptor = Parse(L"file='bar.png' corner='2,2,2,2' fade='100'");
  ImageSpec copy = descriptor;
  copy.ApplyImageString(L"dest='0,0,10,10' fade='50'");
  EXPECT_EQ(copy.fileName, L"bar.png");
  EXPECT_EQ(copy.corner, (UiRect{2, 2, 2, 2}));
  EXPECT_EQ(copy.dest, (UiRect{0, 0, 10, 10}));
  EXPECT_EQ(copy.fade, 50);
  EXPECT_EQ(descriptor.fade, 100);
  EXPECT_EQ(descriptor.dest, kUnset);
}

}  // namespace
}  // namespace ui
