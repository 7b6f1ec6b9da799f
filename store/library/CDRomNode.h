#pragma once
// The node of one CD: its children are the CD's locations and films. Its
// dictionary's "screensavers" value prefixes the paths of the films below.
#include "ActionTable.h"
#include "HListNode.h"
#include "StringMaps.h"
#include "store/Dates.h"

class CDRomNode : public HListNode {
public:
  // Always made with an empty name.
  CDRomNode();

  Dictionary& GetDictionary() { return fDictionary; }
  ActionTable& GetActions() { return fActions; }
  const Date& GetDate() const { return fDate; }
  const TimeOfDay& GetTime() const { return fTime; }

  std::string ClassName() const override { return "CDRomNode"; }
  uint32_t SerialisedSize() const override;
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;

protected:
  // Prefixes the path and goes no further up.
  void ExtendPath(std::string& path, int32_t level) override;

private:
  Date fDate{2451545};  // 1 January 2000
  TimeOfDay fTime{0};
  Dictionary fDictionary;
  ActionTable fActions;
};
