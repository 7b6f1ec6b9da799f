#include "StrStream.h"

#include <cstring>

namespace store_detail {

FixedBuffer::FixedBuffer() : fBuffer() {
  setp(fBuffer, fBuffer + kSize);
  setg(fBuffer, fBuffer, fBuffer);
}

std::string FixedBuffer::Text() const {
  const void* end = std::memchr(fBuffer, '\0', kSize);
  std::size_t length = end ? static_cast<const char*>(end) - fBuffer : kSize;
  return std::string(fBuffer, length);
}

}  // namespace store_detail

StrStream::StrStream() : std::iostream(static_cast<store_detail::FixedBuffer*>(this)) {}

std::string NumberToString(int32_t value) {
  StrStream s;
  s << value << std::ends;
  return s.str();
}

std::string LengthPrefixedBufferToString(std::string& result, unsigned char* buffer) {
  const std::size_t length = buffer[0];
  std::memmove(buffer, buffer + 1, length);
  buffer[length] = '\0';
  result = reinterpret_cast<const char*>(buffer);
  return result;
}

void StringToLengthPrefixed(const std::string& text, unsigned char* buffer) {
  const std::size_t length = text.size() < 255 ? text.size() : 255;
  buffer[0] = static_cast<unsigned char>(length);
  std::memcpy(buffer + 1, text.data(), length);
}

void StripQuotes(std::string& value) {
  const std::size_t start = !value.empty() && value.front() == '"' ? 1 : 0;
  const std::size_t endCut = !value.empty() && value.back() == '"' ? 1 : 0;
  if (start == 0 && endCut == 0) return;
  // A lone quote is both the first and the last character.
  if (value.size() < start + endCut) {
    value.clear();
    return;
  }
  value = value.substr(start, value.size() - start - endCut);
}
