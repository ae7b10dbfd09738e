#include "runtime/standin/audio/wav_decoder.h"

#include <cstring>

namespace cef_standin::audio {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// The tail shared by the KSDATAFORMAT_SUBTYPE_* identifiers; the subtype's
// first two bytes carry the format tag (1 for PCM).
constexpr unsigned char kSubtypeTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                            0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::uint16_t kMaxChannels = 8;
constexpr std::uint32_t kMinRate = 1000;
constexpr std::uint32_t kMaxRate = 384000;

std::uint16_t Read16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::uint32_t Read32(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(Read16(bytes, at)) |
         static_cast<std::uint32_t>(Read16(bytes, at + 2)) << 16;
}

WavError ReadFormat(std::string_view chunk, PcmFormat* format) {
  if (chunk.size() < 16)
    return WavError::kNoFormat;
  std::uint16_t tag = Read16(chunk, 0);
  if (tag == kFormatExtensible) {
    // cbSize 22, then valid bits, channel mask and the subtype.
    if (chunk.size() < 40)
      return WavError::kUnsupported;
    if (std::memcmp(chunk.data() + 26, kSubtypeTail, sizeof(kSubtypeTail)) != 0)
      return WavError::kUnsupported;
    tag = Read16(chunk, 24);
  }
  if (tag != kFormatPcm)
    return WavError::kUnsupported;
  format->channels = Read16(chunk, 2);
  format->sample_rate = Read32(chunk, 4);
  format->block_align = Read16(chunk, 12);
  format->bits_per_sample = Read16(chunk, 14);
  if (format->channels == 0 || format->channels > kMaxChannels)
    return WavError::kUnsupported;
  if (format->sample_rate < kMinRate || format->sample_rate > kMaxRate)
    return WavError::kUnsupported;
  if (format->bits_per_sample != 8 && format->bits_per_sample != 16)
    return WavError::kUnsupported;
  if (format->block_align != format->channels * format->bits_per_sample / 8)
    return WavError::kUnsupported;
  return WavError::kNone;
}

}  // namespace

std::int64_t PcmSound::DurationMs() const {
  if (format.sample_rate == 0)
    return 0;
  return static_cast<std::int64_t>(FrameCount()) * 1000 / format.sample_rate;
}

WavResult DecodeWav(std::string_view bytes, std::size_t max_bytes) {
  WavResult result;
  auto fail = [&result](WavError error) {
    result.error = error;
    return result;
  };
  if (bytes.size() > max_bytes)
    return fail(WavError::kTooLarge);
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
    return fail(WavError::kNotWave);

  PcmFormat format;
  bool have_format = false;
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::string_view id = bytes.substr(at, 4);
    const std::uint32_t size = Read32(bytes, at + 4);
    at += 8;
    if (size > bytes.size() - at)
      return fail(WavError::kTruncated);
    const std::string_view body = bytes.substr(at, size);
    if (id == "fmt ") {
      const WavError error = ReadFormat(body, &format);
      if (error != WavError::kNone)
        return fail(error);
      have_format = true;
    } else if (id == "data") {
      if (!have_format)
        return fail(WavError::kNoFormat);
      const std::size_t whole = body.size() - body.size() % format.block_align;
      if (whole == 0)
        return fail(WavError::kEmpty);
      auto sound = std::make_shared<PcmSound>();
      sound->format = format;
      sound->frames.assign(body.data(), whole);
      result.sound = std::move(sound);
      return result;
    }
    // Chunks are padded to an even size.
    at += size + (size & 1u);
  }
  return fail(have_format ? WavError::kNoData : WavError::kNoFormat);
}

const char* WavErrorName(WavError error) {
  switch (error) {
    case WavError::kNone:
      return "no error";
    case WavError::kNotWave:
      return "not a WAV file";
    case WavError::kNoFormat:
      return "no format chunk before the data";
    case WavError::kUnsupported:
      return "not 8- or 16-bit PCM";
    case WavError::kNoData:
      return "no data chunk";
    case WavError::kTruncated:
      return "truncated";
    case WavError::kTooLarge:
      return "too large";
    case WavError::kEmpty:
      return "no sound in it";
  }
  return "unknown";
}

}  // namespace cef_standin::audio
