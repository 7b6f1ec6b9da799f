#pragma once
// Stored classes used by the tests, registered under their class names.
#include <string>

#include "store/DbPtr.h"
#include "store/Persistent.h"
#include "store/Stream.h"

// A number and a text.
class Note : public Persistent {
public:
  uint32_t number = 7;
  std::string text = "default";

  std::string ClassName() const override { return "Note"; }
  uint32_t SerialisedSize() const override {
    return Persistent::SerialisedSize() + 5 + 5 + static_cast<uint32_t>(text.size());
  }
  void ReadContents(Stream& s) override {
    s.ReadUInt32(number);
    s.ReadString(text);
  }
  void WriteContents(Stream& s) override {
    s.WriteUInt32(number);
    s.WriteString(text);
  }
};

// A pointer to a note, stored as its bare contents.
class Link : public Persistent {
public:
  db_ptr<Note> target;

  std::string ClassName() const override { return "Link"; }
  uint32_t SerialisedSize() const override {
    return Persistent::SerialisedSize() + target.SerialisedSize() - target.EnvelopeSize();
  }
  void ReadContents(Stream& s) override { target.ReadContents(s); }
  void WriteContents(Stream& s) override { target.WriteCheckedContents(s); }
};
