#pragma once
// zlib for compressed movie headers.
#include "Bytes.h"

namespace qtf {

// Expands a zlib stream that must give exactly 'expected' bytes.
Status Inflate(const uint8_t* data, size_t size, uint32_t expected, std::vector<uint8_t>& out);
// Compresses bytes as a zlib stream (tests and the writer's callers).
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& in);

}  // namespace qtf
