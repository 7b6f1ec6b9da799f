#pragma once
// Stored maps from text to text: an action's parameters and the dictionaries
// of films and CDs. Keys are unique and ordered byte by byte (unsigned), a
// prefix before its longer texts.
//
// Stored contents: the tagged count, then each key and value as tagged
// strings in key order. Inside another object the map is stored without an
// envelope of its own.
#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>

#include "store/Persistent.h"

class db_string_map : public Persistent, public std::map<std::string, std::string> {
public:
  using Base = std::map<std::string, std::string>;

  db_string_map() = default;
  db_string_map(const db_string_map& other) : Persistent(other), Base(other) {}
  db_string_map& operator=(const db_string_map& other) {
    Persistent::operator=(other);
    Base::operator=(other);
    return *this;
  }

  std::string ClassName() const override { return "db_string_map"; }
  uint32_t SerialisedSize() const override;
  // Entries present before reading stay; a stored key replaces its value.
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;

  // The stored size less the envelope: the map as a member of another object.
  uint32_t ContentsSize() const { return SerialisedSize() - EnvelopeSize(); }
};

// One action's parameters: key = parameter name, value without its quotes.
// Stored under the base class's name.
class ActionParameters : public db_string_map {
public:
  // Adds the parameters of a text such as File="a.flm",Track="2". An item
  // that is not a key and a value ends the parse silently; the entries
  // stored before it stay. The map is not emptied first.
  void Parse(const std::string& text);
  // key=value, key=value (no quotes, no line end).
  void Dump(std::ostream& out) const override;
};

// A film's preferences, a CD's or film node's key/value set.
class Dictionary : public db_string_map {
public:
  std::string ClassName() const override { return "Dictionary"; }
  // False and the empty text when the key is absent.
  bool GetValue(const std::string& key, std::string& value) const;
  // One line per entry: key="value".
  void Dump(std::ostream& out) const override;
};
