#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "base/thread/thread_checker.h"
#include "runtime/standin/audio/pcm_stream.h"
#include "runtime/standin/audio/sound_player.h"
#include "runtime/standin/audio/wav_decoder.h"

namespace cef_standin {
class FetchCancel;
namespace page {
class Document;
}
}  // namespace cef_standin

namespace cef_standin::audio {

// A sound a page's <audio> element plays by itself.
struct SoundSource {
  std::string url;  // resolved
  Loop loop = Loop::kOnce;
};

// At most this many sounds of one page are fetched and played.
inline constexpr std::size_t kMaxSoundsPerPage = 16;

// The sounds `document` plays by itself, in document order: each <audio>
// with "autoplay" and without "muted", by its "src" or, without one, its
// first <source> with a "src"; looping with "loop". Elements without
// "autoplay" play nothing, since pages cannot start them.
std::vector<SoundSource> AutoplaySources(const page::Document& document);

// What a page's sounds are doing.
struct SoundCounts {
  int fetching = 0;   // asked for, not yet fetched and decoded
  int playing = 0;    // playing now, muted or not
  int silent = 0;     // of those playing, the muted ones
  int refused = 0;    // failed to load or decode: never heard
  int on_device = 0;  // of those playing, the ones a sound device plays
};

// The sounds of one page: each fetched through the runtime's network,
// decoded on the fetching worker and played on a thread of its own until
// it ends or the page goes. Renderer thread.
class PageSounds {
 public:
  PageSounds(std::vector<SoundSource> sources, const std::wstring& referrer, Mute mute);
  // Cancels the fetches and stops every sound.
  ~PageSounds();
  PageSounds(const PageSounds&) = delete;
  PageSounds& operator=(const PageSounds&) = delete;

  void SetMute(Mute mute);
  SoundCounts Counts() const;

 private:
  struct Entry {
    SoundSource source;
    std::shared_ptr<FetchCancel> fetch;  // while fetching
    std::unique_ptr<SoundPlayer> player;
    bool refused = false;
  };
  void Fetch(std::size_t index, const std::wstring& referrer);
  void OnDecoded(std::size_t index, WavResult result);

  kbase::ThreadChecker thread_checker_;
  Mute mute_;
  std::vector<Entry> entries_;
  // Fetches hold it weakly: a sound that arrives after its page went is
  // dropped.
  std::shared_ptr<PageSounds*> self_;
};

}  // namespace cef_standin::audio
