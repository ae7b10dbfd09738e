#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "runtime/standin/audio/wav_decoder.h"

namespace cef_standin::audio {

enum class Loop { kOnce, kForever };
enum class Mute { kAudible, kSilent };

// A sound read out piece by piece for the sound device: from its first
// frame to its last, then again from the first when it loops. Muted
// pieces are silence of the same length, so a muted sound keeps its place
// and is heard again from where it got to. One thread at a time.
class PcmStream {
 public:
  PcmStream(std::shared_ptr<const PcmSound> sound, Loop loop);

  // Writes the next frames into `out`, at most `capacity` bytes in whole
  // frames, and returns how many bytes it wrote: fewer only at the end of
  // a sound that does not loop, then 0.
  std::size_t Fill(std::uint8_t* out, std::size_t capacity, Mute mute);
  // True once a sound that does not loop was read to its end.
  bool finished() const;
  // Milliseconds left to play; -1 for a sound that loops.
  std::int64_t RemainingMs() const;
  const PcmFormat& format() const { return sound_->format; }

 private:
  const std::shared_ptr<const PcmSound> sound_;
  const Loop loop_;
  std::size_t position_ = 0;  // bytes into sound_->frames
};

}  // namespace cef_standin::audio
