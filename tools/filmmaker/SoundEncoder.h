#pragma once
// Sound for the films we ship: uncompressed 'twos' (signed big-endian,
// 16 bits) and 'raw ' (offset binary, 8 bits), and the tones and chords
// that fill them.
#include "SampleTable.h"

#include <cstdint>
#include <vector>

namespace film {

using Bytes = std::vector<uint8_t>;

struct SoundFormat {
  qtf::FourCC format = 0;  // 'twos' or 'raw '
  uint16_t channels = 1;
  uint16_t bits = 16;      // 16 for 'twos', 8 for 'raw '
  uint32_t rate = 22050;   // frames per second
};

// Whether the encoder takes this format, size and channel count.
bool EncodableSound(const SoundFormat& format);

// A 36-byte version 0 sound description.
qtf::SampleDescription SoundDescription(const SoundFormat& format);

// Interleaved frames (as many values per frame as channels) as the format
// stores them; 8 bits keep the top byte of each value.
Bytes EncodeSound(const SoundFormat& format, const std::vector<int16_t>& frames);

// A note of the frequency for seconds, with a short rise and fall so that
// it starts and ends without a click; mono.
std::vector<int16_t> Tone(uint32_t rate, double frequency, double seconds, double loudness);

}  // namespace film
