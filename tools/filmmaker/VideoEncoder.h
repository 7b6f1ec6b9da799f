#pragma once
// Video encoders for the films we ship: 'raw ' and 'rle ' (Animation), the
// two codecs every player of ours decodes without loss. Both take 16-bit
// (x1r5g5b5), 24-bit and 32-bit depths; 16 bits keep the top five bits of
// each component.
#include "Picture.h"
#include "SampleTable.h"

#include <string>
#include <vector>

namespace film {

using Bytes = std::vector<uint8_t>;

// An 86-byte video sample description: no colour table, 72 dpi.
qtf::SampleDescription VideoDescription(qtf::FourCC codec, uint16_t width, uint16_t height, uint16_t depth,
                                        const std::string& compressorName);

// Whether the encoders take this depth.
bool EncodableDepth(uint16_t depth);

// 'raw ': rows top to bottom, unpadded.
Bytes EncodeRaw(const Picture& picture, uint16_t depth);

// 'rle ': without a previous picture a key sample that codes every line;
// with one (of the same size) a difference sample that codes only the lines
// that changed and, within them, only the pixels that changed. A picture
// equal to the previous one gives the 4-byte sample that changes nothing.
Bytes EncodeAnimation(const Picture& picture, const Picture* previous, uint16_t depth);

// One pixel as the depth stores it: big-endian x1r5g5b5, r g b, or a r g b
// with an opaque alpha.
void AppendPixel(Bytes& out, uint32_t rgb, uint16_t depth);

}  // namespace film
