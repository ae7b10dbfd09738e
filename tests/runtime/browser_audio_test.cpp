// Sound in pages: <audio autoplay> fetched, decoded and played, the mute
// of the browser, and sounds that must never be heard. This machine may
// have no sound device; the runtime then plays by the clock, and the
// states below hold either way.

#include <gtest/gtest.h>

#include "tests/runtime/browser_test_support.h"

namespace browser_test {
namespace {

using BrowserAudioTest = BrowserTest;

std::string Tone(int ms, const std::string& attributes) {
  return "<audio src='http://a.example/tone.wav?ms=" + std::to_string(ms) + "' " + attributes +
         "></audio>";
}

// An address made of ASCII, as PageUrl gives it, for markup.
std::string Ascii(const std::wstring& url) {
  std::string ascii;
  for (wchar_t c : url)
    ascii += static_cast<char>(c);
  return ascii;
}

TEST_F(BrowserAudioTest, ASoundIsAudibleUntilItEndsAndALoopUntilItsPageGoes) {
  CefRefPtr<CefBrowser> browser = Open(PageUrl("<p>quiet</p>"));
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();
  EXPECT_FALSE(probe_.IsAudible(id));

  LoadAndWait(browser, PageUrl(Tone(400, "autoplay")));
  ASSERT_TRUE(test::PumpUntil([&] { return probe_.IsAudible(id); }, 10000));
  ASSERT_TRUE(test::PumpUntil([&] { return !probe_.IsAudible(id); }, 5000));
  EXPECT_EQ(probe_.Sounds(id).refused, 0);

  // A loop, from the element's first <source>, plays past its length and
  // stops with its page.
  const std::string loop =
      "<audio autoplay loop><source src='http://a.example/tone.wav?ms=200'>"
      "<source src='http://a.example/status/404'></audio>";
  LoadAndWait(browser, PageUrl(loop));
  ASSERT_TRUE(test::PumpUntil([&] { return probe_.IsAudible(id); }, 10000));
  test::PumpFor(600);
  EXPECT_TRUE(probe_.IsAudible(id));
  EXPECT_EQ(probe_.Sounds(id).playing, 1);
  LoadAndWait(browser, PageUrl("<p>quiet</p>"));
  EXPECT_FALSE(probe_.IsAudible(id));

  // And with the renderer.
  LoadAndWait(browser, PageUrl(loop));
  ASSERT_TRUE(test::PumpUntil([&] { return probe_.IsAudible(id); }, 10000));
  ASSERT_TRUE(probe_.CrashRenderer());
  EXPECT_FALSE(probe_.IsAudible(id));
}

TEST_F(BrowserAudioTest, MuteSilencesTheBrowsersSoundsAndOutlivesItsPages) {
  CefRefPtr<CefBrowser> browser = Open(PageUrl(Tone(300, "autoplay loop")));
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();
  ASSERT_TRUE(test::PumpUntil([&] { return probe_.IsAudible(id); }, 10000));
  EXPECT_EQ(probe_.Sounds(id).silent, 0);

  browser->GetHost()->SetAudioMuted(true);
  EXPECT_TRUE(browser->GetHost()->IsAudioMuted());
  // Muted, the sound plays on in silence.
  ASSERT_TRUE(test::PumpUntil([&] { return probe_.Sounds(id).silent == 1; }, 5000));
  EXPECT_TRUE(probe_.IsAudible(id));
  EXPECT_TRUE(probe_.IsMuted(id));

  // The next page's sound, in a child frame here, starts muted.
  LoadAndWait(browser, PageUrl("<iframe src=\"" + Ascii(PageUrl(Tone(300, "autoplay loop"))) +
                               "\"></iframe>"));
  ASSERT_TRUE(test::PumpUntil([&] { return probe_.IsAudible(id); }, 10000));
  EXPECT_EQ(probe_.Sounds(id).silent, 1);
  EXPECT_TRUE(browser->GetHost()->IsAudioMuted());

  browser->GetHost()->SetAudioMuted(false);
  EXPECT_FALSE(browser->GetHost()->IsAudioMuted());
  ASSERT_TRUE(test::PumpUntil([&] { return probe_.Sounds(id).silent == 0; }, 5000));
  EXPECT_EQ(probe_.Sounds(id).playing, 1);
}

TEST_F(BrowserAudioTest, BadSoundsAreNeverHeardAndUnstartedOnesNeverFetched) {
  const std::string bad =
      "<audio autoplay src='http://a.example/status/404'></audio>"
      "<audio autoplay src='http://a.example/truncated?length=5000&send=100'></audio>"
      "<audio autoplay src='http://a.example/garbage'></audio>"
      "<audio autoplay src='http://a.example/page?title=NotASound'></audio>"
      "<audio autoplay src='data:audio/wav;base64,UklGRiQAAABXQVZFZm10IBAAAAABAAEA'></audio>"
      // Never started: no autoplay, muted, no address.
      "<audio src='http://a.example/tone.wav?hz=301'></audio>"
      "<audio autoplay muted src='http://a.example/tone.wav?hz=302'></audio>"
      "<audio autoplay></audio>";
  CefRefPtr<CefBrowser> browser = Open(PageUrl(bad));
  ASSERT_TRUE(browser);
  const int id = browser->GetIdentifier();
  ASSERT_TRUE(test::PumpUntil([&] { return probe_.Sounds(id).refused == 5; }, 10000))
      << probe_.Sounds(id).refused;
  const cef_standin_sounds_t sounds = probe_.Sounds(id);
  EXPECT_EQ(sounds.fetching, 0);
  EXPECT_EQ(sounds.playing, 0);
  EXPECT_FALSE(probe_.IsAudible(id));

  // At most 16 sounds of a page play.
  std::string many;
  for (int i = 0; i < 20; ++i)
    many += Tone(200 + i, "autoplay loop");
  LoadAndWait(browser, PageUrl(many));
  ASSERT_TRUE(test::PumpUntil([&] { return probe_.Sounds(id).fetching == 0; }, 10000));
  EXPECT_EQ(probe_.Sounds(id).playing, 16);
}

}  // namespace
}  // namespace browser_test
