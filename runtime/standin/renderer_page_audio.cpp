// The sound of hosted browsers: whether any page of a browser plays a
// sound, and its mute, which belongs to the browser and holds for every
// page it loads. Renderer thread.

#include "runtime/standin/audio/page_sounds.h"
#include "runtime/standin/renderer_pages.h"

namespace cef_standin {

void RendererPages::SetAudioMuted(int browser_id, bool muted) {
  auto found = hosted_.find(browser_id);
  if (found == hosted_.end())
    return;
  found->second.muted = muted;
  const audio::Mute mute = muted ? audio::Mute::kSilent : audio::Mute::kAudible;
  for (const CefRefPtr<RendererFrame>& frame : browsers_[browser_id]->frames()) {
    if (frame->page() && frame->page()->sounds())
      frame->page()->sounds()->SetMute(mute);
  }
}

audio::SoundCounts RendererPages::SoundCounts(int browser_id) const {
  audio::SoundCounts total;
  const auto found = browsers_.find(browser_id);
  if (found == browsers_.end())
    return total;
  for (const CefRefPtr<RendererFrame>& frame : found->second->frames()) {
    if (!frame->page() || !frame->page()->sounds())
      continue;
    const audio::SoundCounts counts = frame->page()->sounds()->Counts();
    total.fetching += counts.fetching;
    total.playing += counts.playing;
    total.silent += counts.silent;
    total.refused += counts.refused;
    total.on_device += counts.on_device;
  }
  return total;
}

bool RendererPages::IsAudible(int browser_id) const {
  return SoundCounts(browser_id).playing > 0;
}

}  // namespace cef_standin
