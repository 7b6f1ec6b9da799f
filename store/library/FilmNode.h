#pragma once
// The node of one film: its path, its preferences, its identity and its
// action tables. A film node has no children.
#include <cstdint>

#include "ActionTable.h"
#include "ListNode.h"
#include "StringMaps.h"

// Seven numbers that the store keeps for a film; neither program reads them.
// Stored only inside a film node.
class FilmIdent : public Persistent {
public:
  static constexpr int kValueCount = 7;

  uint32_t GetValue(int index) const { return fValues[index]; }

  std::string ClassName() const override { return "FilmIdent"; }
  uint32_t SerialisedSize() const override { return Persistent::SerialisedSize() + 35; }
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;

  uint32_t ContentsSize() const { return SerialisedSize() - EnvelopeSize(); }

private:
  uint32_t fValues[kValueCount] = {};
};

class FilmNode : public ListNode {
public:
  static constexpr uint32_t kPathCapacity = 150;

  FilmNode() = default;
  explicit FilmNode(const std::string& name) : ListNode(name) {}

  std::string& GetPath() { return fPath; }
  Dictionary& GetDictionary() { return fDictionary; }
  ActionTable& GetActions() { return fActions; }
  const FilmIdent& GetIdentity() const { return fIdentity; }

  std::string ClassName() const override { return "FilmNode"; }
  uint32_t SerialisedSize() const override;
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;

  bool Accept(ListNodeVisitor& visitor, int32_t depth, bool hasChildren) override;

protected:
  // The path becomes the film's own, then the nodes above may prefix it.
  void ExtendPath(std::string& path, int32_t level) override;

private:
  std::string fPath;
  Dictionary fDictionary;
  bool fFilmFlag = true;
  FilmIdent fIdentity;
  ActionTable fActions;
  ActionTable fSecondActions;
};
