#pragma once
// Parsed command texts and the table of them that films and nodes carry.
#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>

#include "StringMaps.h"
#include "store/Persistent.h"

// One command text, name and parameters: playQT(File="a.flm",Track="2").
class ActionDefinition : public Persistent {
public:
  ActionDefinition() = default;
  // A text that does not split into a name and a parameter text at its
  // parentheses gives an empty name and no parameters; a parenthesis inside
  // a quoted value breaks the split. Nothing is reported.
  explicit ActionDefinition(const std::string& commandText);
  ActionDefinition(const ActionDefinition& other) = default;
  ActionDefinition& operator=(const ActionDefinition& other) = default;

  const std::string& GetName() const { return fName; }
  const ActionParameters& GetParameters() const { return fParameters; }
  ActionParameters& GetParameters() { return fParameters; }

  // The command text again: name(Key="value",...) in key order. Values are
  // quoted as they stand, so one holding a quote or a parenthesis does not
  // parse back unchanged.
  std::string GetText() const;

  std::string ClassName() const override { return "ActionDefinition"; }
  uint32_t SerialisedSize() const override;
  // The name is replaced; stored parameters are added to those present.
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;
  // name-->key=value, key=value
  void Dump(std::ostream& out) const override;

  uint32_t ContentsSize() const { return SerialisedSize() - EnvelopeSize(); }

private:
  std::string fName;
  ActionParameters fParameters;
};

// The key of an action table: a text, ordered byte by byte.
struct ActionID {
  ActionID() = default;
  explicit ActionID(const std::string& t) : text(t) {}
  bool operator<(const ActionID& other) const { return text < other.text; }
  bool operator==(const ActionID& other) const { return text == other.text; }
  std::string text;
};

// Action definitions under their identifiers. The subscript of an absent
// identifier inserts an empty definition.
class ActionTable : public Persistent, public std::map<ActionID, ActionDefinition> {
public:
  using Base = std::map<ActionID, ActionDefinition>;

  ActionTable() = default;
  ActionTable(const ActionTable& other) : Persistent(other), Base(other) {}
  ActionTable& operator=(const ActionTable& other) {
    Persistent::operator=(other);
    Base::operator=(other);
    return *this;
  }

  std::string ClassName() const override { return "ActionTable"; }
  uint32_t SerialisedSize() const override;
  // The table is not emptied first: a stored identifier's definition is read
  // into the one present.
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;
  // One line per entry: identifier: definition.
  void Dump(std::ostream& out) const override;

  uint32_t ContentsSize() const { return SerialisedSize() - EnvelopeSize(); }
};
