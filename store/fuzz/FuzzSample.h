#pragma once
// A stored class for the fuzz target and its seeds: one value of each kind
// and pointers to further samples, so that loading follows references.
#include <string>

#include "store/Containers.h"
#include "store/DbPtr.h"

class FuzzSample : public Persistent {
public:
  uint32_t number = 0;
  std::string text;
  std::string name;
  bool flag = false;
  db_vector<db_ptr_traits<FuzzSample>> next{4};

  FuzzSample() { next.SetExactSize(); }

  std::string ClassName() const override { return "FuzzSample"; }
  uint32_t SerialisedSize() const override {
    return Persistent::SerialisedSize() + 5 + 5 + static_cast<uint32_t>(text.size()) + 9 + 40 +
           2 + next.SerialisedSize() - next.EnvelopeSize();
  }
  void ReadContents(Stream& s) override {
    s.ReadUInt32(number);
    s.ReadString(text);
    s.ReadBlock(name);
    s.ReadBool(flag);
    next.ReadContents(s);
  }
  void WriteContents(Stream& s) override {
    s.WriteUInt32(number);
    s.WriteString(text);
    s.WriteBlock(name, 40);
    s.WriteBool(flag);
    next.WriteCheckedContents(s);
  }
};

inline PersistentMaker<FuzzSample> gFuzzSampleMaker("FuzzSample");
