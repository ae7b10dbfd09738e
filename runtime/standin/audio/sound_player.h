#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>

#include "runtime/standin/audio/pcm_stream.h"
#include "runtime/standin/audio/wav_decoder.h"

namespace cef_standin::audio {

// Where a sound goes: the system's default sound device (through winmm's
// waveOut), or nowhere, played by the clock. A machine without a sound
// device plays by the clock, so a sound still starts, lasts as long as it
// would and ends, and its state can be told.
enum class Output { kDevice, kClock };

struct SoundOptions {
  Loop loop = Loop::kOnce;
  Mute mute = Mute::kAudible;
  Output output = Output::kDevice;
};

// Plays one sound on a thread of its own, from construction until it ends
// (a sound that loops never does) or the player is stopped or destroyed.
// Muting keeps it playing silently. Created and destroyed on one thread;
// the state may be read and the mute set from any.
class SoundPlayer {
 public:
  enum class Route { kOpening, kDevice, kClock };

  SoundPlayer(std::shared_ptr<const PcmSound> sound, SoundOptions options);
  // Stops the sound and waits for its thread.
  ~SoundPlayer();
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  void SetMute(Mute mute) { mute_ = mute; }
  Mute mute() const { return mute_; }
  // True from construction until the sound ended or was stopped.
  bool playing() const { return playing_; }
  // kOpening until the thread has opened the device or chosen the clock.
  Route route() const { return route_; }
  void Stop();

 private:
  void Run(Output output);
  // False, with nothing played, when no device could be opened.
  bool PlayOnDevice();
  void PlayByClock();

  PcmStream stream_;  // the player's thread only
  std::atomic<Mute> mute_;
  std::atomic<bool> playing_{true};
  std::atomic<Route> route_{Route::kOpening};
  const HANDLE stop_event_;
  std::thread thread_;
};

}  // namespace cef_standin::audio
