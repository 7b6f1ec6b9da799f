#include "Serialisable.h"

#include <ostream>

#include "Exception.h"
#include "Stream.h"

uint32_t Serialisable::EnvelopeSize() const {
  return static_cast<uint32_t>(ClassName().size()) + 7;
}

uint32_t Serialisable::SerialisedSize() const { return EnvelopeSize(); }

void Serialisable::Dump(std::ostream&) const {}

void ReadContentsToEnd(Serialisable& object, Stream& stream) {
  try {
    object.ReadContents(stream);
    stream.SkipToEndOfObject();
  } catch (const EndOfObject&) {
    // Stored by an older writer: the fields not read keep their values.
  }
}

void Serialisable::Load(Stream& stream) {
  stream.ReadBeginObject();
  std::string name;
  stream.ReadString(name);
  if (name != ClassName()) throw Assertion("Assertion failed", 48, "Serialisable");
  ReadContentsToEnd(*this, stream);
}

void Serialisable::Save(Stream& stream) {
  const uint32_t before = static_cast<uint32_t>(stream.GetBytesWritten());
  stream.WriteBeginObject();
  stream.WriteString(ClassName());
  WriteContents(stream);
  stream.WriteEndObject();
  const uint32_t written = static_cast<uint32_t>(stream.GetBytesWritten()) - before;
  if (written != SerialisedSize()) throw Assertion("Assertion failed", 73, "Serialisable");
}

void Serialisable::WriteCheckedContents(Stream& stream) {
  const uint32_t before = static_cast<uint32_t>(stream.GetBytesWritten());
  WriteContents(stream);
  const uint32_t written = static_cast<uint32_t>(stream.GetBytesWritten()) - before;
  if (written != SerialisedSize() - EnvelopeSize()) {
    throw Assertion("Assertion failed", 84, "Serialisable");
  }
}

std::ostream& operator<<(std::ostream& out, const Serialisable& object) {
  object.Dump(out);
  return out;
}
