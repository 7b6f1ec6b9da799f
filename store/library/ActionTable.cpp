#include "ActionTable.h"

#include <list>
#include <ostream>

#include "TokenScanner.h"
#include "store/Stream.h"

namespace {
PersistentMaker<ActionDefinition> gActionDefinitionMaker("ActionDefinition");
PersistentMaker<ActionTable> gActionTableMaker("ActionTable");
}  // namespace

ActionDefinition::ActionDefinition(const std::string& commandText) {
  // No quote characters: the split is made on the parentheses alone.
  const TokenScanner outer("()", "");
  std::list<std::string> tokens;
  outer.Scan(commandText, tokens);
  if (tokens.size() != 2) return;
  fName = tokens.front();
  fParameters.Parse(tokens.back());
}

std::string ActionDefinition::GetText() const {
  std::string text = fName + "(";
  bool first = true;
  for (const auto& entry : fParameters) {
    if (!first) text += ",";
    first = false;
    text += entry.first + "=\"" + entry.second + "\"";
  }
  return text + ")";
}

uint32_t ActionDefinition::SerialisedSize() const {
  return Persistent::SerialisedSize() + static_cast<uint32_t>(fName.size()) + 5 +
         fParameters.ContentsSize();
}

void ActionDefinition::ReadContents(Stream& stream) {
  stream.ReadString(fName);
  fParameters.ReadContents(stream);
}

void ActionDefinition::WriteContents(Stream& stream) {
  stream.WriteString(fName);
  fParameters.WriteCheckedContents(stream);
}

void ActionDefinition::Dump(std::ostream& out) const {
  out << fName << "-->";
  fParameters.Dump(out);
}

uint32_t ActionTable::SerialisedSize() const {
  uint32_t size = Persistent::SerialisedSize() + 5;
  for (const auto& entry : *this) {
    size += static_cast<uint32_t>(entry.first.text.size()) + 5 + entry.second.ContentsSize();
  }
  return size;
}

void ActionTable::ReadContents(Stream& stream) {
  uint32_t count = 0;
  stream.ReadUInt32(count);
  // Each entry reads at least its identifier's bytes, so a damaged count
  // ends at the end of the data.
  for (uint32_t i = 0; i < count; ++i) {
    std::string id;
    stream.ReadString(id);
    (*this)[ActionID(id)].ReadContents(stream);
  }
}

void ActionTable::WriteContents(Stream& stream) {
  stream.WriteUInt32(static_cast<uint32_t>(size()));
  for (auto& entry : *this) {
    stream.WriteString(entry.first.text);
    entry.second.WriteCheckedContents(stream);
  }
}

void ActionTable::Dump(std::ostream& out) const {
  for (const auto& entry : *this) {
    out << entry.first.text << ": ";
    entry.second.Dump(out);
    out << '\n';
  }
}
