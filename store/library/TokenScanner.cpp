#include "TokenScanner.h"

namespace {
inline unsigned char Byte(char c) { return static_cast<unsigned char>(c); }
}  // namespace

TokenScanner::TokenScanner(const std::string& separators, const std::string& quotes) {
  for (char c : separators) fSeparator.set(Byte(c));
  for (char c : quotes) fQuote.set(Byte(c));
}

void TokenScanner::Scan(const std::string& text, std::list<std::string>& tokens) const {
  std::string token;
  bool inQuote = false;
  char openQuote = 0;
  for (char c : text) {
    if (fQuote.test(Byte(c))) {
      if (!inQuote) {
        inQuote = true;
        openQuote = c;
      } else if (c == openQuote) {
        inQuote = false;
      }
    }
    if (!inQuote && fSeparator.test(Byte(c))) {
      if (!token.empty()) tokens.push_back(token);
      token.clear();
    } else {
      token += c;
    }
  }
  if (!token.empty()) tokens.push_back(token);
}
