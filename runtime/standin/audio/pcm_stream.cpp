#include "runtime/standin/audio/pcm_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace cef_standin::audio {

PcmStream::PcmStream(std::shared_ptr<const PcmSound> sound, Loop loop)
    : sound_(std::move(sound)), loop_(loop) {}

std::size_t PcmStream::Fill(std::uint8_t* out, std::size_t capacity, Mute mute) {
  const std::size_t block = sound_->format.block_align;
  const std::size_t total = sound_->frames.size();
  if (block == 0 || total == 0)
    return 0;
  capacity -= capacity % block;
  // Silence: the middle of the range, 0x80 for unsigned 8-bit samples.
  const int silence = sound_->format.bits_per_sample == 8 ? 0x80 : 0;
  std::size_t written = 0;
  while (written < capacity) {
    if (position_ == total) {
      if (loop_ == Loop::kOnce)
        break;
      position_ = 0;
    }
    const std::size_t piece = std::min(capacity - written, total - position_);
    if (mute == Mute::kSilent)
      std::memset(out + written, silence, piece);
    else
      std::memcpy(out + written, sound_->frames.data() + position_, piece);
    written += piece;
    position_ += piece;
  }
  return written;
}

bool PcmStream::finished() const {
  return loop_ == Loop::kOnce && position_ == sound_->frames.size();
}

std::int64_t PcmStream::RemainingMs() const {
  if (loop_ == Loop::kForever)
    return -1;
  const std::uint32_t per_second = sound_->format.BytesPerSecond();
  if (per_second == 0)
    return 0;
  const std::size_t left = sound_->frames.size() - position_;
  return static_cast<std::int64_t>(left) * 1000 / per_second;
}

}  // namespace cef_standin::audio
