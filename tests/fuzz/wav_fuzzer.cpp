// Pages' <audio> elements bring WAV files from anywhere: any bytes must
// decode or be refused without reading out of bounds, a decoded sound must
// be whole frames of a format the sound device takes, and reading it out
// must give its frames back exactly once (or silence of their length).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "runtime/standin/audio/pcm_stream.h"
#include "runtime/standin/audio/wav_decoder.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz::Check;

using cef_standin::audio::DecodeWav;
using cef_standin::audio::Loop;
using cef_standin::audio::Mute;
using cef_standin::audio::PcmStream;
using cef_standin::audio::WavError;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto result = DecodeWav(bytes);
  if (size > 0)
    Check(DecodeWav(bytes, size - 1).error == WavError::kTooLarge);
  Check((result.sound != nullptr) == (result.error == WavError::kNone));
  if (!result.sound)
    return 0;

  const auto& sound = *result.sound;
  const auto& format = sound.format;
  Check(format.channels >= 1 && format.channels <= 8);
  Check(format.bits_per_sample == 8 || format.bits_per_sample == 16);
  Check(format.block_align == format.channels * format.bits_per_sample / 8);
  Check(!sound.frames.empty() && sound.frames.size() % format.block_align == 0);
  Check(sound.frames.size() <= size);
  Check(sound.DurationMs() >= 0);

  // Pieces of an odd size, so that whole frames are cut from them.
  std::vector<uint8_t> piece(1 + size % 997);
  PcmStream once(result.sound, Loop::kOnce);
  size_t read = 0;
  for (;;) {
    const size_t written = once.Fill(piece.data(), piece.size(), Mute::kAudible);
    Check(written % format.block_align == 0 && written <= piece.size());
    if (written == 0)
      break;
    Check(std::memcmp(piece.data(), sound.frames.data() + read, written) == 0);
    read += written;
    // A piece too small for one frame never ends the sound.
    Check(read <= sound.frames.size());
  }
  Check(read == sound.frames.size() || piece.size() < format.block_align);
  Check(once.finished() == (read == sound.frames.size()));
  Check(once.RemainingMs() >= 0);

  PcmStream looping(result.sound, Loop::kForever);
  std::vector<uint8_t> two(2 * sound.frames.size() + format.block_align);
  const size_t looped = looping.Fill(two.data(), two.size(), Mute::kSilent);
  Check(looped == two.size() - two.size() % format.block_align);
  const uint8_t silence = format.bits_per_sample == 8 ? 0x80 : 0;
  for (size_t i = 0; i < looped; ++i)
    Check(two[i] == silence);
  Check(!looping.finished() && looping.RemainingMs() == -1);
  return 0;
}
