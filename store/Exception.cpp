#include "Exception.h"

#include "StrStream.h"

std::string FormatSourceLocation(int32_t line, const char* file) {
  return ", line " + NumberToString(line) + " in " + file;
}

std::string FormatErrorNumber(int32_t number, const std::string& text) {
  StrStream s;
  s << text << " error: " << number << std::ends;
  return s.str();
}

Assertion::Assertion(const std::string& what, int32_t line, const char* file)
    : Exception(what + FormatSourceLocation(line, file)) {}

ErrorNo::ErrorNo(int32_t number, const std::string& text)
    : Exception(FormatErrorNumber(number, text)) {}
