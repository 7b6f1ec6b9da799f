#pragma once
// The writing end of the framework byte stream: every value in this
// machine's order (little-endian), never swapped, without padding. A stream
// that is to be read with a header writes the 12 header bytes itself first.
#include "CP_Geometry.h"
#include "CP_RGBColor.h"

#include <cstdint>
#include <string>

class CP_OutStream {
 public:
  // The format version the writers test to decide which fields to write.
  explicit CP_OutStream(int32_t version = 6) : fVersion(version) {}
  CP_OutStream(const CP_OutStream&) = delete;
  CP_OutStream& operator=(const CP_OutStream&) = delete;
  virtual ~CP_OutStream() = default;

  virtual void Write(const void* buffer, uint32_t count) = 0;

  int32_t GetVersion() const { return fVersion; }
  void SetVersion(int32_t version) { fVersion = version; }

  CP_OutStream& WriteInt16(int16_t value);
  CP_OutStream& WriteInt32(int32_t value);
  CP_OutStream& WriteBool(uint8_t value);  // the byte widened to 16 bits
  // A 16-bit length, then the characters in one write. Longer text than a
  // 16-bit length can count is refused with -50 before anything is written.
  CP_OutStream& WriteString(const std::string& value);
  CP_OutStream& WritePoint(const CP_Point& value);
  CP_OutStream& WriteSize(const CP_Size& value);
  CP_OutStream& WriteBindings(const CP_Bindings& value);
  CP_OutStream& WriteRGBColor(const CP_RGBColor& value);

 private:
  int32_t fVersion;
};
