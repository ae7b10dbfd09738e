#include "runtime/standin/audio/page_sounds.h"

#include <utility>

#include "base/util/string_util.h"
#include "runtime/standin/function_task.h"
#include "runtime/standin/net/net_errors.h"
#include "runtime/standin/page/document.h"
#include "runtime/standin/runtime_context.h"

namespace cef_standin::audio {

namespace {

// Redirects a sound's fetch follows before it gives up.
constexpr int kMaxRedirects = 5;

std::string SourceOf(const page::Node& element) {
  // With a "src" attribute the <source> children do not count.
  if (element.HasAttribute("src"))
    return element.AttributeOr("src");
  for (const page::NodePtr& child : element.children()) {
    if (child->IsElement() && child->Is("source") && !child->AttributeOr("src").empty())
      return child->AttributeOr("src");
  }
  return std::string();
}

// On the fetching worker: the sound, or why there is none.
WavResult LoadSound(LoadRequest request, LoadResult result) {
  NetworkContext& network = RuntimeContext::Get().network();
  for (int hop = 0; hop < kMaxRedirects && result.error == net_error::kOk && result.status >= 300 &&
                    result.status < 400 && !result.redirect_url.empty();
       ++hop) {
    request.url = result.redirect_url;
    result = network.LoadNow(request, nullptr);
  }
  WavResult refused;
  refused.error = WavError::kNotWave;
  if (result.error != net_error::kOk || result.status < 200 || result.status >= 300)
    return refused;
  if (result.truncated) {
    refused.error = WavError::kTruncated;
    return refused;
  }
  return DecodeWav(result.body);
}

}  // namespace

std::vector<SoundSource> AutoplaySources(const page::Document& document) {
  std::vector<SoundSource> sources;
  for (const page::NodePtr& element : document.QuerySelectorAll("audio")) {
    if (sources.size() >= kMaxSoundsPerPage)
      break;
    if (!element->HasAttribute("autoplay") || element->HasAttribute("muted"))
      continue;
    const std::string src = SourceOf(*element);
    if (src.empty())
      continue;
    sources.push_back(
        {document.ResolveUrl(src), element->HasAttribute("loop") ? Loop::kForever : Loop::kOnce});
  }
  return sources;
}

PageSounds::PageSounds(std::vector<SoundSource> sources, const std::wstring& referrer, Mute mute)
    : mute_(mute), self_(std::make_shared<PageSounds*>(this)) {
  if (sources.size() > kMaxSoundsPerPage)
    sources.resize(kMaxSoundsPerPage);
  entries_.resize(sources.size());
  for (std::size_t i = 0; i < sources.size(); ++i) {
    entries_[i].source = std::move(sources[i]);
    Fetch(i, referrer);
  }
}

PageSounds::~PageSounds() {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  self_.reset();
  for (Entry& entry : entries_) {
    if (entry.fetch)
      entry.fetch->Cancel();
  }
  // The players stop and join their threads as they go.
  entries_.clear();
}

void PageSounds::Fetch(std::size_t index, const std::wstring& referrer) {
  LoadRequest request;
  request.url = kbase::Utf8ToUtf16(entries_[index].source.url);
  request.referrer = referrer;
  std::weak_ptr<PageSounds*> weak = self_;
  entries_[index].fetch =
      RuntimeContext::Get().network().Load(request, [weak, index, request](LoadResult result) {
        WavResult sound = LoadSound(request, std::move(result));
        RuntimeContext::Get().PostTask(TID_RENDERER, MakeTask([weak, index, sound] {
                                         if (std::shared_ptr<PageSounds*> self = weak.lock())
                                           (*self)->OnDecoded(index, sound);
                                       }),
                                       0);
      });
}

void PageSounds::OnDecoded(std::size_t index, WavResult result) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  Entry& entry = entries_[index];
  entry.fetch.reset();
  if (!result.sound) {
    entry.refused = true;
    RuntimeContext::Get().log().Warning(L"The sound " + kbase::Utf8ToUtf16(entry.source.url) +
                                        L" is not played: " +
                                        kbase::Utf8ToUtf16(WavErrorName(result.error)));
    return;
  }
  SoundOptions options;
  options.loop = entry.source.loop;
  options.mute = mute_;
  entry.player = std::make_unique<SoundPlayer>(std::move(result.sound), options);
}

void PageSounds::SetMute(Mute mute) {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  mute_ = mute;
  for (Entry& entry : entries_) {
    if (entry.player)
      entry.player->SetMute(mute);
  }
}

SoundCounts PageSounds::Counts() const {
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(thread_checker_);
  SoundCounts counts;
  for (const Entry& entry : entries_) {
    if (entry.fetch)
      ++counts.fetching;
    if (entry.refused)
      ++counts.refused;
    if (entry.player && entry.player->playing()) {
      ++counts.playing;
      if (entry.player->mute() == Mute::kSilent)
        ++counts.silent;
      if (entry.player->route() == SoundPlayer::Route::kDevice)
        ++counts.on_device;
    }
  }
  return counts;
}

}  // namespace cef_standin::audio
