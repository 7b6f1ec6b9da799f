#include "SoundEncoder.h"

#include <algorithm>
#include <cmath>

namespace film {

bool EncodableSound(const SoundFormat& f) {
  const bool format = (f.format == qtf::Tag("twos") && f.bits == 16) || (f.format == qtf::Tag("raw ") && f.bits == 8);
  return format && (f.channels == 1 || f.channels == 2) && f.rate > 0 && f.rate < 65536;
}

qtf::SampleDescription SoundDescription(const SoundFormat& f) {
  qtf::ByteWriter w;
  w.U32(36);
  w.U32(f.format);
  w.Zeros(6);
  w.U16(1);          // data reference
  w.U16(0);          // version
  w.U16(0);          // revision
  w.U32(0);          // vendor
  w.U16(f.channels);
  w.U16(f.bits);
  w.U16(0);          // compression ID
  w.U16(0);          // packet size
  w.U32(f.rate << 16);
  qtf::SampleDescription d;
  d.format = f.format;
  d.entry = std::move(w.Data());
  return d;
}

Bytes EncodeSound(const SoundFormat& f, const std::vector<int16_t>& frames) {
  Bytes out;
  out.reserve(frames.size() * (f.bits / 8));
  for (int16_t v : frames) {
    if (f.bits == 8) {
      out.push_back(uint8_t((v >> 8) + 128));
    } else {
      out.push_back(uint8_t(uint16_t(v) >> 8));
      out.push_back(uint8_t(v));
    }
  }
  return out;
}

std::vector<int16_t> Tone(uint32_t rate, double frequency, double seconds, double loudness) {
  const size_t n = size_t(std::max(0.0, seconds) * rate);
  const double fade = 0.01 * rate;  // 10 ms in and out
  const double kTwoPi = 6.283185307179586;
  std::vector<int16_t> out(n);
  for (size_t i = 0; i < n; ++i) {
    const double envelope = std::min({1.0, (i + 1) / fade, (n - i) / fade});
    const double v = std::sin(kTwoPi * frequency * double(i) / rate) * loudness * envelope;
    out[i] = int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
  }
  return out;
}

}  // namespace film
