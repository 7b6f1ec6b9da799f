#pragma once
// Splits a text into tokens at separator bytes. A quote byte opens a quote
// that only the same byte closes; separators inside a quote belong to the
// token, and quote bytes are kept in the tokens. Runs of separators give no
// empty tokens, and an unclosed quote runs to the end of the text.
#include <bitset>
#include <list>
#include <string>

class TokenScanner {
public:
  TokenScanner(const std::string& separators, const std::string& quotes);

  // Appends the tokens of the text, in order.
  void Scan(const std::string& text, std::list<std::string>& tokens) const;

private:
  // Indexed by the byte's unsigned value.
  std::bitset<256> fSeparator;
  std::bitset<256> fQuote;
};
