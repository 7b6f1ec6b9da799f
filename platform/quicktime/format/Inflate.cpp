#include "Inflate.h"

#include <zlib.h>

#include <algorithm>

namespace qtf {

Status Inflate(const uint8_t* data, size_t size, uint32_t expected, std::vector<uint8_t>& out) {
  out.clear();
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return Status::Fail(Fault::Io, "cannot start zlib");
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = uInt(std::min<size_t>(size, 0x7FFFFFFF));
  // Grow the output as data arrives, so that a small stream that claims a
  // large size costs nothing until it delivers.
  int rc = Z_OK;
  while (rc == Z_OK) {
    size_t have = out.size();
    if (have == expected) {
      // Room for one byte more tells an overlong stream from a complete one.
      uint8_t extra;
      z.next_out = &extra;
      z.avail_out = 1;
      rc = inflate(&z, Z_NO_FLUSH);
      if (z.avail_out == 0) rc = Z_DATA_ERROR;
      break;
    }
    size_t step = std::min<size_t>(expected - have, 64 * 1024);
    out.resize(have + step);
    z.next_out = out.data() + have;
    z.avail_out = uInt(step);
    rc = inflate(&z, Z_NO_FLUSH);
    out.resize(have + (step - z.avail_out));
    if (rc == Z_BUF_ERROR && z.avail_in == 0) break;
  }
  inflateEnd(&z);
  if (rc != Z_STREAM_END) return Status::Fail(Fault::Corrupt, "compressed movie header is damaged");
  if (out.size() != expected) return Status::Fail(Fault::Corrupt, "compressed movie header expands to another size");
  return {};
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& in) {
  uLongf size = compressBound(uLong(in.size()));
  std::vector<uint8_t> out(size);
  if (compress(out.data(), &size, in.data(), uLong(in.size())) != Z_OK) return {};
  out.resize(size);
  return out;
}

}  // namespace qtf
