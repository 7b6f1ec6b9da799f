#pragma once
// A value the store keeps: it names its class, computes the exact size of
// its stored form and writes and reads its contents through a Stream.
// Stored, the contents sit in an envelope: begin tag, the class name as a
// string, the contents, end tag.
#include <cstdint>
#include <iosfwd>
#include <string>

class Stream;

class Serialisable {
public:
  virtual ~Serialisable() = default;

  // Envelope and contents together; derived classes add their contents to
  // this base value.
  virtual uint32_t SerialisedSize() const;
  virtual void ReadContents(Stream& stream) = 0;
  virtual void WriteContents(Stream& stream) = 0;
  // The fixed name written on the stream; never a compiler's type name.
  virtual std::string ClassName() const = 0;
  virtual void Dump(std::ostream& out) const;
  // Reads an envelope of this object's class. Contents that end early leave
  // the remaining fields as they were; extra fields of a newer writer are
  // skipped.
  virtual void Load(Stream& stream);
  // Writes the envelope and checks the size computation was exact.
  virtual void Save(Stream& stream);

  // The contents alone, for an object stored inside another one.
  void WriteCheckedContents(Stream& stream);
  uint32_t EnvelopeSize() const;

protected:
  Serialisable() = default;
  Serialisable(const Serialisable&) = default;
  Serialisable& operator=(const Serialisable&) = default;
};

std::ostream& operator<<(std::ostream& out, const Serialisable& object);

// Reads the contents and the rest of the object up to its end tag; an end
// tag met early ends the read there.
void ReadContentsToEnd(Serialisable& object, Stream& stream);
