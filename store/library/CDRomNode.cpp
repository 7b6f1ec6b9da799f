#include "CDRomNode.h"

#include "LibrarySchema.h"
#include "store/Stream.h"

namespace {
// The schema's names are built before this maker (they are inline and
// included above it).
PersistentMaker<CDRomNode> gCDRomNodeMaker("CDRomNode");
}  // namespace

CDRomNode::CDRomNode() : HListNode(std::string()) {}

uint32_t CDRomNode::SerialisedSize() const {
  return HListNode::SerialisedSize() + 10 + fDictionary.ContentsSize() + fActions.ContentsSize();
}

void CDRomNode::ReadContents(Stream& stream) {
  HListNode::ReadContents(stream);
  int32_t day = 0;
  uint32_t seconds = 0;
  stream.ReadInt32(day);
  fDate = Date(day);
  stream.ReadUInt32(seconds);
  fTime = TimeOfDay(seconds);
  fDictionary.ReadContents(stream);
  fActions.ReadContents(stream);
}

void CDRomNode::WriteContents(Stream& stream) {
  HListNode::WriteContents(stream);
  stream.WriteInt32(fDate.GetDayNumber());
  stream.WriteUInt32(fTime.GetSeconds());
  fDictionary.WriteCheckedContents(stream);
  fActions.WriteCheckedContents(stream);
}

void CDRomNode::ExtendPath(std::string& path, int32_t) {
  std::string prefix;
  if (fDictionary.GetValue(kScreenSaversKey, prefix)) path = prefix + "/" + path;
}
