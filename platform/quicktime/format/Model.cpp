#include "Model.h"

#include <algorithm>

namespace qtf {

namespace {

void Apply(const Matrix& m, double x, double y, double& outX, double& outY) {
  const double k = 65536.0;
  outX = m.m[0] / k * x + m.m[3] / k * y + m.m[6] / k;
  outY = m.m[1] / k * x + m.m[4] / k * y + m.m[7] / k;
}

}  // namespace

Box Transform(const Matrix& m, const Box& b) {
  double xs[4], ys[4];
  Apply(m, b.left, b.top, xs[0], ys[0]);
  Apply(m, b.right, b.top, xs[1], ys[1]);
  Apply(m, b.left, b.bottom, xs[2], ys[2]);
  Apply(m, b.right, b.bottom, xs[3], ys[3]);
  Box out;
  out.left = *std::min_element(xs, xs + 4);
  out.right = *std::max_element(xs, xs + 4);
  out.top = *std::min_element(ys, ys + 4);
  out.bottom = *std::max_element(ys, ys + 4);
  return out;
}

Box NaturalBox(const std::vector<const TrackModel*>& tracks) {
  Box total;
  bool any = false;
  for (const TrackModel* t : tracks) {
    const TrackHeader& h = t->header;
    if (!(h.flags & kTrackEnabled) || h.width <= 0 || h.height <= 0) continue;
    Box b = Transform(h.matrix, Box{0, 0, h.width / 65536.0, h.height / 65536.0});
    if (!any) {
      total = b;
      any = true;
    } else {
      total.left = std::min(total.left, b.left);
      total.top = std::min(total.top, b.top);
      total.right = std::max(total.right, b.right);
      total.bottom = std::max(total.bottom, b.bottom);
    }
  }
  return total;
}

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
