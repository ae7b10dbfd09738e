// The stand-in's sound parts, compiled into the test: WAV decoding, the
// stream the device reads, and players by the clock and on the device.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "runtime/standin/audio/pcm_stream.h"
#include "runtime/standin/audio/sound_player.h"
#include "runtime/standin/audio/wav_decoder.h"

namespace {

using namespace cef_standin::audio;

std::string Le16(unsigned value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}
std::string Le32(unsigned value) {
  return Le16(value & 0xFFFF) + Le16(value >> 16);
}
// A chunk, its size as `declared` says when given.
std::string Chunk(const std::string& id, const std::string& body, long long declared = -1) {
  return id + Le32(static_cast<unsigned>(declared < 0 ? body.size() : declared)) + body +
         (body.size() % 2 ? std::string(1, '\0') : std::string());
}
std::string Format(unsigned tag, unsigned channels, unsigned rate, unsigned bits) {
  const unsigned align = channels * bits / 8;
  return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}
std::string Riff(const std::string& chunks) {
  return "RIFF" + Le32(static_cast<unsigned>(4 + chunks.size())) + "WAVE" + chunks;
}
// 16-bit mono at 8000 Hz: `frames` frames, sample i being i.
std::string Samples16(int frames) {
  std::string data;
  for (int i = 0; i < frames; ++i)
    data += Le16(static_cast<unsigned>(i));
  return data;
}

TEST(WavDecoderTest, ReadsPcmOfEightAndSixteenBitsAndRefusesTheRest) {
  const std::string fmt16 = Chunk("fmt ", Format(1, 1, 8000, 16));
  WavResult mono = DecodeWav(Riff(fmt16 + Chunk("data", Samples16(800))));
  ASSERT_TRUE(mono.sound) << WavErrorName(mono.error);
  EXPECT_EQ(mono.sound->format.channels, 1);
  EXPECT_EQ(mono.sound->format.sample_rate, 8000u);
  EXPECT_EQ(mono.sound->format.bits_per_sample, 16);
  EXPECT_EQ(mono.sound->FrameCount(), 800u);
  EXPECT_EQ(mono.sound->DurationMs(), 100);
  EXPECT_EQ(mono.sound->frames, Samples16(800));

  // 8-bit stereo behind an odd-sized chunk (padded); half a frame at the
  // end of the data is dropped.
  WavResult stereo = DecodeWav(
      Riff(Chunk("fmt ", Format(1, 2, 11025, 8)) + Chunk("LIST", "odd") + Chunk("data", "abcde")));
  ASSERT_TRUE(stereo.sound) << WavErrorName(stereo.error);
  EXPECT_EQ(stereo.sound->frames, "abcd");

  // The extensible header with the PCM subtype, and with the float one.
  const std::string tail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  const std::string extensible = Format(0xFFFE, 2, 44100, 16) + Le16(22) + Le16(16) + Le32(3);
  EXPECT_TRUE(
      DecodeWav(Riff(Chunk("fmt ", extensible + Le16(1) + tail) + Chunk("data", "abcd"))).sound);
  EXPECT_EQ(
      DecodeWav(Riff(Chunk("fmt ", extensible + Le16(3) + tail) + Chunk("data", "abcd"))).error,
      WavError::kUnsupported);

  struct Case {
    const char* what;
    std::string bytes;
    WavError error;
  };
  std::string wrong_align = Format(1, 2, 8000, 16);
  wrong_align[12] = 3;
  const Case refused[] = {
      {"a page", "<html><body>not found</body></html>", WavError::kNotWave},
      {"empty", "", WavError::kNotWave},
      {"float", Riff(Chunk("fmt ", Format(3, 1, 8000, 32)) + Chunk("data", "abcd")),
       WavError::kUnsupported},
      {"24-bit", Riff(Chunk("fmt ", Format(1, 1, 8000, 24)) + Chunk("data", "abc")),
       WavError::kUnsupported},
      {"no channels", Riff(Chunk("fmt ", Format(1, 0, 8000, 16)) + Chunk("data", "ab")),
       WavError::kUnsupported},
      {"rate 0", Riff(Chunk("fmt ", Format(1, 1, 0, 16)) + Chunk("data", "ab")),
       WavError::kUnsupported},
      {"frame size", Riff(Chunk("fmt ", wrong_align) + Chunk("data", "abcd")),
       WavError::kUnsupported},
      {"short format", Riff(Chunk("fmt ", "\x01\x00") + Chunk("data", "ab")), WavError::kNoFormat},
      {"data first", Riff(Chunk("data", "ab") + fmt16), WavError::kNoFormat},
      {"no data", Riff(fmt16), WavError::kNoData},
      {"half a frame", Riff(fmt16 + Chunk("data", "a")), WavError::kEmpty},
      {"data past the end", Riff(fmt16 + Chunk("data", "abcd", 1000)), WavError::kTruncated},
      {"huge chunk", Riff(fmt16 + Chunk("data", "abcd", 0xFFFFFFFFu)), WavError::kTruncated},
  };
  for (const Case& c : refused) {
    const WavResult result = DecodeWav(c.bytes);
    EXPECT_FALSE(result.sound) << c.what;
    EXPECT_EQ(result.error, c.error) << c.what << ": " << WavErrorName(result.error);
  }
  EXPECT_EQ(DecodeWav(Riff(fmt16 + Chunk("data", Samples16(800))), 1000).error,
            WavError::kTooLarge);
}

TEST(WavDecoderTest, NoCutOfAFileIsEverASound) {
  const std::string whole =
      Riff(Chunk("fmt ", Format(1, 1, 8000, 16)) + Chunk("data", Samples16(50)));
  ASSERT_TRUE(DecodeWav(whole).sound);
  for (std::size_t length = 0; length < whole.size(); ++length)
    EXPECT_FALSE(DecodeWav(std::string_view(whole).substr(0, length)).sound) << length;
}

std::shared_ptr<const PcmSound> Sound(unsigned bits, std::string frames, unsigned rate = 8000) {
  auto sound = std::make_shared<PcmSound>();
  sound->format = {1, rate, static_cast<std::uint16_t>(bits), static_cast<std::uint16_t>(bits / 8)};
  sound->frames = std::move(frames);
  return sound;
}

std::string Read(PcmStream& stream, std::size_t capacity, Mute mute = Mute::kAudible) {
  std::string out(capacity, '?');
  out.resize(stream.Fill(reinterpret_cast<std::uint8_t*>(out.data()), capacity, mute));
  return out;
}

TEST(PcmStreamTest, PlaysWholeFramesToTheEndOrAroundAndMutesWithSilenceInPlace) {
  PcmStream once(Sound(16, "AaBbCc"), Loop::kOnce);
  EXPECT_EQ(once.RemainingMs(), 0);  // 3 frames at 8000 Hz
  EXPECT_EQ(Read(once, 3), "Aa");    // half a frame is not written
  EXPECT_EQ(Read(once, 8), "BbCc");
  EXPECT_TRUE(once.finished());
  EXPECT_EQ(Read(once, 8), "");

  PcmStream looping(Sound(16, "AaBbCc"), Loop::kForever);
  EXPECT_EQ(looping.RemainingMs(), -1);
  EXPECT_EQ(Read(looping, 2), "Aa");
  EXPECT_EQ(Read(looping, 10), "BbCcAaBbCc");
  EXPECT_FALSE(looping.finished());
  // Muted pieces are silence and keep the place: unmuted, it goes on
  // from where the muted piece ended.
  EXPECT_EQ(Read(looping, 4, Mute::kSilent), std::string(4, '\0'));
  EXPECT_EQ(Read(looping, 2), "Cc");

  PcmStream eight(Sound(8, "xyz"), Loop::kOnce);
  EXPECT_EQ(Read(eight, 2, Mute::kSilent), "\x80\x80");
  EXPECT_EQ(Read(eight, 2), "z");

  PcmStream second(Sound(16, Samples16(16000)), Loop::kOnce);  // 2 s
  Read(second, 16000);
  EXPECT_EQ(second.RemainingMs(), 1000);
}

using Clock = std::chrono::steady_clock;

// Waits up to `limit` for the player to end; the time it took.
std::chrono::milliseconds WaitForEnd(const SoundPlayer& player,
                                     Clock::time_point start,
                                     std::chrono::milliseconds limit) {
  while (player.playing() && Clock::now() - start < limit)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST(SoundPlayerTest, ByTheClockASoundLastsItsLengthAndALoopUntilStopped) {
  const auto start = Clock::now();
  SoundPlayer once(Sound(16, Samples16(2400)), {Loop::kOnce, Mute::kAudible, Output::kClock});
  EXPECT_TRUE(once.playing());
  const auto took = WaitForEnd(once, start, std::chrono::seconds(5));
  EXPECT_FALSE(once.playing());
  EXPECT_GE(took.count(), 290);  // 2400 frames at 8000 Hz are 300 ms
  EXPECT_EQ(once.route(), SoundPlayer::Route::kClock);

  SoundPlayer looping(Sound(16, Samples16(80)), {Loop::kForever, Mute::kSilent, Output::kClock});
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // ten times its length
  EXPECT_TRUE(looping.playing());
  EXPECT_EQ(looping.mute(), Mute::kSilent);
  looping.SetMute(Mute::kAudible);
  EXPECT_EQ(looping.mute(), Mute::kAudible);
  looping.Stop();
  EXPECT_FALSE(looping.playing());
}

TEST(SoundPlayerTest, OnTheDeviceOrWithoutOneASoundPlaysToItsEnd) {
  const auto start = Clock::now();
  SoundPlayer player(Sound(16, Samples16(2400)), {Loop::kOnce, Mute::kSilent, Output::kDevice});
  EXPECT_TRUE(player.playing());
  const auto took = WaitForEnd(player, start, std::chrono::seconds(10));
  EXPECT_FALSE(player.playing());
  EXPECT_NE(player.route(), SoundPlayer::Route::kOpening);
  // A device may take sound faster than it is heard (ALSA's null device
  // does); the clock never does.
  if (player.route() == SoundPlayer::Route::kClock) {
    EXPECT_GE(took.count(), 290);
  }
  std::printf("the sound went %s\n",
              player.route() == SoundPlayer::Route::kDevice ? "to a sound device" : "by the clock");

  // A looping sound on the device stops at once when its player goes.
  auto looping = std::make_unique<SoundPlayer>(Sound(8, std::string(800, '\x80')),
                                               SoundOptions{Loop::kForever, Mute::kSilent});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(looping->playing());
  const auto stopping = Clock::now();
  looping.reset();
  EXPECT_LT(Clock::now() - stopping, std::chrono::seconds(2));
}

}  // namespace
