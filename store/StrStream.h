#pragma once
// Small text services of the store: a text stream over a fixed buffer, the
// decimal text of a number, length-prefixed strings and quote stripping.
#include <cstdint>
#include <iostream>
#include <streambuf>
#include <string>

namespace store_detail {
// Output that does not fit the fixed buffer fails; nothing grows.
class FixedBuffer : public std::streambuf {
public:
  static constexpr std::size_t kSize = 1024;
  FixedBuffer();
  std::string Text() const;

private:
  char fBuffer[kSize];
};
}  // namespace store_detail

// A text stream that writes into 1024 characters of its own. Writers end
// their text with std::ends before calling str().
class StrStream : private store_detail::FixedBuffer, public std::iostream {
public:
  StrStream();
  // The buffer read as NUL-terminated text (never past its end).
  std::string str() const { return Text(); }
};

std::string NumberToString(int32_t value);

// The buffer holds a length byte L and L characters. They move one place
// down and a NUL follows them, so the caller's buffer becomes C text; the
// result is that text. The buffer must hold at least L + 1 bytes.
std::string LengthPrefixedBufferToString(std::string& result, unsigned char* buffer);

// Writes the length byte and the characters, no NUL. A length byte cannot
// count past 255, so a longer string is cut to its first 255 characters;
// the buffer must hold at least 256 bytes then.
void StringToLengthPrefixed(const std::string& text, unsigned char* buffer);

// Removes one double quote at the start and one at the end, where present.
void StripQuotes(std::string& value);
