#include "FilmNode.h"

#include "store/Stream.h"

namespace {
PersistentMaker<FilmNode> gFilmNodeMaker("FilmNode");
}  // namespace

void FilmIdent::ReadContents(Stream& stream) {
  for (uint32_t& value : fValues) stream.ReadUInt32(value);
}

void FilmIdent::WriteContents(Stream& stream) {
  for (uint32_t value : fValues) stream.WriteUInt32(value);
}

uint32_t FilmNode::SerialisedSize() const {
  return ListNode::SerialisedSize() + 9 + kPathCapacity + fDictionary.ContentsSize() + 2 +
         fIdentity.ContentsSize() + fActions.ContentsSize() + fSecondActions.ContentsSize();
}

void FilmNode::ReadContents(Stream& stream) {
  ListNode::ReadContents(stream);
  stream.ReadBlock(fPath);
  fDictionary.ReadContents(stream);
  stream.ReadBool(fFilmFlag);
  fIdentity.ReadContents(stream);
  fActions.ReadContents(stream);
  fSecondActions.ReadContents(stream);
}

void FilmNode::WriteContents(Stream& stream) {
  ListNode::WriteContents(stream);
  stream.WriteBlock(fPath, kPathCapacity);
  fDictionary.WriteCheckedContents(stream);
  stream.WriteBool(fFilmFlag);
  fIdentity.WriteCheckedContents(stream);
  fActions.WriteCheckedContents(stream);
  fSecondActions.WriteCheckedContents(stream);
}

bool FilmNode::Accept(ListNodeVisitor& visitor, int32_t depth, bool hasChildren) {
  return visitor.VisitFilm(this, depth, hasChildren);
}

void FilmNode::ExtendPath(std::string& path, int32_t level) {
  path = fPath;
  ExtendPathAtParent(path, level);
}
