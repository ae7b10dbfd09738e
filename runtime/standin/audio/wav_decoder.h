#pragma once

// Reads WAV files of linear PCM, 8- or 16-bit, as pages' <audio> elements
// bring them. Anything else (other encodings, a truncated file, a file
// over the size cap) is refused with the reason, and never played.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace cef_standin::audio {

struct PcmFormat {
  std::uint16_t channels = 0;
  std::uint32_t sample_rate = 0;
  // 8 (unsigned samples) or 16 (signed, little-endian).
  std::uint16_t bits_per_sample = 0;
  // Bytes of one frame: one sample of every channel.
  std::uint16_t block_align = 0;

  std::uint32_t BytesPerSecond() const { return sample_rate * block_align; }
};

// A decoded sound: its format and its frames, whole frames only.
struct PcmSound {
  PcmFormat format;
  std::string frames;

  std::size_t FrameCount() const {
    return format.block_align ? frames.size() / format.block_align : 0;
  }
  std::int64_t DurationMs() const;
};

enum class WavError {
  kNone,
  kNotWave,      // no RIFF/WAVE header
  kNoFormat,     // no usable "fmt " chunk before the data
  kUnsupported,  // not 8- or 16-bit PCM, or channels or rate out of range
  kNoData,       // no "data" chunk
  kTruncated,    // a chunk runs past the end of the file
  kTooLarge,     // over the size cap
  kEmpty,        // no whole frame of sound
};

// The largest file the decoder reads.
inline constexpr std::size_t kMaxWavBytes = 64u << 20;

struct WavResult {
  std::shared_ptr<const PcmSound> sound;  // null on error
  WavError error = WavError::kNone;
};

WavResult DecodeWav(std::string_view bytes, std::size_t max_bytes = kMaxWavBytes);

// A short English name of the error, for the log.
const char* WavErrorName(WavError error);

}  // namespace cef_standin::audio
