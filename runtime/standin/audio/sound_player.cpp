#include "runtime/standin/audio/sound_player.h"

#include <mmsystem.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace cef_standin::audio {

namespace {

// Four pieces of a tenth of a second each are queued on the device: a
// change of mute is heard within that much, and a busy machine has that
// much time before the sound breaks up.
constexpr int kPieces = 4;
constexpr int kPiecesPerSecond = 10;
// The longest wait between looks at the queue, should a wake-up be lost.
constexpr DWORD kPollMs = 250;
// How often the end of a sound looks at the device's position.
constexpr DWORD kEndPollMs = 10;

// Holds what waveOut needs for one open device, and gives it back in the
// order winmm asks for: reset, unprepare, close.
class WaveOut {
 public:
  WaveOut() : buffer_done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~WaveOut() {
    if (wave_) {
      waveOutReset(wave_);
      for (WAVEHDR& header : headers_) {
        if (header.dwFlags & WHDR_PREPARED)
          waveOutUnprepareHeader(wave_, &header, sizeof(header));
      }
      waveOutClose(wave_);
    }
    if (buffer_done_)
      CloseHandle(buffer_done_);
  }
  WaveOut(const WaveOut&) = delete;
  WaveOut& operator=(const WaveOut&) = delete;

  bool Open(const PcmFormat& format) {
    if (!buffer_done_)
      return false;
    WAVEFORMATEX wave_format = {};
    wave_format.wFormatTag = WAVE_FORMAT_PCM;
    wave_format.nChannels = format.channels;
    wave_format.nSamplesPerSec = format.sample_rate;
    wave_format.nAvgBytesPerSec = format.BytesPerSecond();
    wave_format.nBlockAlign = format.block_align;
    wave_format.wBitsPerSample = format.bits_per_sample;
    if (waveOutOpen(&wave_, WAVE_MAPPER, &wave_format, reinterpret_cast<DWORD_PTR>(buffer_done_), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
      wave_ = nullptr;
      return false;
    }
    std::size_t piece = format.BytesPerSecond() / kPiecesPerSecond;
    piece = std::max<std::size_t>(format.block_align, piece - piece % format.block_align);
    for (int i = 0; i < kPieces; ++i) {
      data_[i].resize(piece);
      headers_[i] = {};
      headers_[i].lpData = reinterpret_cast<LPSTR>(data_[i].data());
      headers_[i].dwBufferLength = static_cast<DWORD>(piece);
      if (waveOutPrepareHeader(wave_, &headers_[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
        return false;
    }
    return true;
  }

  // A piece the device is not playing, or null.
  int FreePiece() {
    for (int i = 0; i < kPieces; ++i) {
      // The device sets WHDR_DONE from its own thread.
      const DWORD flags = static_cast<volatile DWORD&>(headers_[i].dwFlags);
      if (!queued_[i] || (flags & WHDR_DONE)) {
        queued_[i] = false;
        return i;
      }
    }
    return -1;
  }
  bool AnyQueued() {
    for (int i = 0; i < kPieces; ++i) {
      const DWORD flags = static_cast<volatile DWORD&>(headers_[i].dwFlags);
      if (queued_[i] && !(flags & WHDR_DONE))
        return true;
    }
    return false;
  }
  std::uint8_t* PieceData(int i) { return data_[i].data(); }
  std::size_t PieceSize(int i) const { return data_[i].size(); }
  bool Write(int i, std::size_t bytes) {
    headers_[i].dwBufferLength = static_cast<DWORD>(bytes);
    queued_[i] = waveOutWrite(wave_, &headers_[i], sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
    if (queued_[i])
      written_ += bytes;
    return queued_[i];
  }
  // Bytes given to the device, and bytes it has played; the device hands
  // pieces back once it has taken their sound, which can be well before
  // it is heard. -1 when the device cannot tell.
  std::uint64_t written() const { return written_; }
  std::int64_t Played() {
    MMTIME time = {};
    time.wType = TIME_BYTES;
    if (waveOutGetPosition(wave_, &time, sizeof(time)) != MMSYSERR_NOERROR ||
        time.wType != TIME_BYTES)
      return -1;
    return time.u.cb;
  }
  HANDLE buffer_done() const { return buffer_done_; }

 private:
  const HANDLE buffer_done_;
  HWAVEOUT wave_ = nullptr;
  WAVEHDR headers_[kPieces] = {};
  bool queued_[kPieces] = {};
  std::vector<std::uint8_t> data_[kPieces];
  std::uint64_t written_ = 0;
};

}  // namespace

SoundPlayer::SoundPlayer(std::shared_ptr<const PcmSound> sound, SoundOptions options)
    : stream_(std::move(sound), options.loop),
      mute_(options.mute),
      stop_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_ = std::thread([this, output = options.output] { Run(output); });
}

SoundPlayer::~SoundPlayer() {
  Stop();
  if (stop_event_)
    CloseHandle(stop_event_);
}

void SoundPlayer::Stop() {
  if (stop_event_)
    SetEvent(stop_event_);
  if (thread_.joinable())
    thread_.join();
  playing_ = false;
}

void SoundPlayer::Run(Output output) {
  if (!stop_event_) {
    route_ = Route::kClock;
  } else if (output == Output::kClock || !PlayOnDevice()) {
    PlayByClock();
  }
  playing_ = false;
}

bool SoundPlayer::PlayOnDevice() {
  WaveOut device;
  if (!device.Open(stream_.format()))
    return false;
  route_ = Route::kDevice;
  bool failed = false;
  const HANDLE wake[2] = {stop_event_, device.buffer_done()};
  for (;;) {
    int piece;
    while (!failed && !stream_.finished() && (piece = device.FreePiece()) >= 0) {
      const Mute mute = mute_;
      const std::size_t bytes =
          stream_.Fill(device.PieceData(piece), device.PieceSize(piece), mute);
      if (bytes == 0)
        break;
      failed = !device.Write(piece, bytes);
    }
    if (!device.AnyQueued())
      break;
    if (WaitForMultipleObjects(2, wake, FALSE, kPollMs) == WAIT_OBJECT_0)
      return true;  // stopped; the device is reset as it goes
  }
  // A device that stopped taking sound: the rest plays by the clock.
  if (failed) {
    PlayByClock();
    return true;
  }
  // The sound ends when the device has played what it took, which may
  // still be buffered; a device whose position stands still gives up
  // after the length of that buffer could have played twice over.
  const std::uint32_t per_second = std::max<std::uint32_t>(1, stream_.format().BytesPerSecond());
  std::int64_t last = -1;
  ULONGLONG last_change = GetTickCount64();
  for (;;) {
    const std::int64_t played = device.Played();
    if (played < 0 || static_cast<std::uint64_t>(played) >= device.written())
      break;
    const ULONGLONG now = GetTickCount64();
    if (played != last) {
      last = played;
      last_change = now;
    }
    const std::uint64_t left_ms =
        (device.written() - static_cast<std::uint64_t>(played)) * 1000 / per_second;
    if (now - last_change > 2 * left_ms + kPollMs)
      break;
    if (WaitForSingleObject(stop_event_, kEndPollMs) == WAIT_OBJECT_0)
      break;
  }
  return true;
}

void SoundPlayer::PlayByClock() {
  if (route_ == Route::kOpening)
    route_ = Route::kClock;
  const std::int64_t left = stream_.RemainingMs();
  const DWORD wait =
      left < 0 ? INFINITE : static_cast<DWORD>(std::min<std::int64_t>(left, INFINITE - 1));
  WaitForSingleObject(stop_event_, wait);
}

}  // namespace cef_standin::audio
