#include "SoundDecoder.h"

namespace qtc {

SoundDecoder::SoundDecoder(const qtf::SampleDescription& description) : format_(description.format) {}

size_t SoundDecoder::Decode(const uint8_t*, size_t, std::vector<int16_t>&) const { return 0; }

}  // namespace qtc
