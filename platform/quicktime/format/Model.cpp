#include "Model.h"

namespace qtf {

std::vector<Edit> EffectiveEdits(const TrackModel& track, uint32_t movieTimeScale) {
  if (track.hasEditList) return track.edits;
  std::vector<Edit> edits;
  if (!track.hasMedia || track.media.timeScale == 0) return edits;
  uint64_t mediaDuration = track.media.samples.Duration();
  if (mediaDuration == 0) return edits;
  Edit whole;
  whole.duration = MulDiv(mediaDuration, movieTimeScale, track.media.timeScale);
  whole.mediaTime = 0;
  edits.push_back(whole);
  return edits;
}

uint64_t TrackDuration(const TrackModel& track, uint32_t movieTimeScale) {
  uint64_t total = 0;
  for (const Edit& e : EffectiveEdits(track, movieTimeScale)) {
    total += e.duration;
    if (total < e.duration) return UINT64_MAX;
  }
  return total;
}

}  // namespace qtf
