#include "CP_InStream.h"

#include "CP_Exception.h"
#include "CP_FourCC.h"

#include <vector>

namespace {

constexpr uint16_t kMarkBig = 0x0042;     // 'B'
constexpr uint16_t kMarkLittle = 0x004C;  // 'L'
constexpr char kSource[] = "CP_InStream.cpp";

}  // namespace

uint16_t SwapBytes16(const void* value) {
  const uint8_t* b = static_cast<const uint8_t*>(value);
  return uint16_t(b[0] << 8 | b[1]);
}

uint32_t SwapBytes32(const void* value) {
  const uint8_t* b = static_cast<const uint8_t*>(value);
  return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

CP_InStream::CP_InStream(uint8_t hasHeader, uint8_t headerFlag, uint16_t byteOrder)
    : fHasHeader(hasHeader), fByteOrder(byteOrder), fHeaderFlag(headerFlag) {}

void CP_InStream::Read(void* buffer, uint32_t count) {
  if (fHasHeader && !fHeaderRead) ReadHeader();
  if (count != 0) ReadRawBytes(buffer, count);
}

uint32_t CP_InStream::TryRead(void* buffer, uint32_t count) {
  if (fHasHeader && !fHeaderRead) ReadHeader();
  return count != 0 ? TryReadRawBytes(buffer, count) : 0;
}

uint16_t CP_InStream::Swapped(uint16_t value) const { return fSwap ? SwapBytes16(&value) : value; }

uint32_t CP_InStream::Swapped(uint32_t value) const { return fSwap ? SwapBytes32(&value) : value; }

void CP_InStream::ReadHeader() {
  uint16_t mark = 0;
  ReadRawBytes(&mark, 2);
  if (mark != kMarkBig && mark != kMarkLittle) {
    mark = SwapBytes16(&mark);
    if (mark != kMarkBig && mark != kMarkLittle)
      throw CP_RuntimeException(kCP_StreamHeaderVersionError, kSource, 174);
  }
  if (fByteOrder != kNeverSwap && mark != kMarkLittle) fSwap = 1;

  uint32_t signature = 0;
  ReadRawBytes(&signature, 4);
  if (Swapped(signature) != CP_FourCC("VORN"))
    throw CP_RuntimeException(kCP_StreamHeaderError, kSource, 194);

  uint32_t version = 0;
  ReadRawBytes(&version, 4);
  fVersion = int32_t(Swapped(version));
  if (fVersion < 1 || fVersion > 6) throw CP_RuntimeException(kCP_StreamHeaderVersionError, kSource, 202);

  uint16_t flag = 0;
  ReadRawBytes(&flag, 2);
  fHeaderFlag = Swapped(flag) != 0 ? 1 : 0;
  fHeaderRead = 1;
}

CP_InStream& CP_InStream::ReadInt16(uint16_t& value) {
  uint16_t raw = 0;
  Read(&raw, 2);
  value = Swapped(raw);
  return *this;
}

CP_InStream& CP_InStream::ReadInt16(int16_t& value) {
  uint16_t raw = 0;
  ReadInt16(raw);
  value = int16_t(raw);
  return *this;
}

CP_InStream& CP_InStream::ReadInt32(uint32_t& value) {
  uint32_t raw = 0;
  Read(&raw, 4);
  value = Swapped(raw);
  return *this;
}

CP_InStream& CP_InStream::ReadInt32(int32_t& value) {
  uint32_t raw = 0;
  ReadInt32(raw);
  value = int32_t(raw);
  return *this;
}

CP_InStream& CP_InStream::ReadBool(uint8_t& value) {
  uint16_t raw = 0;
  ReadInt16(raw);
  value = raw != 0 ? 1 : 0;
  return *this;
}

CP_InStream& CP_InStream::ReadBool(bool& value) {
  uint8_t flag = 0;
  ReadBool(flag);
  value = flag != 0;
  return *this;
}

CP_InStream& CP_InStream::ReadString(std::string& value) {
  // The length is unsigned: a length with its high bit set must not turn
  // into a negative size. The raw read refuses a length past the end.
  uint16_t length = 0;
  ReadInt16(length);
  std::vector<char> text(size_t(length) + 1, '\0');
  Read(text.data(), length);
  value.assign(text.data());
  return *this;
}

CP_InStream& CP_InStream::ReadPoint(CP_Point& value) {
  uint16_t raw[2] = {};
  Read(raw, sizeof raw);
  value.Set(int16_t(Swapped(raw[0])), int16_t(Swapped(raw[1])));
  return *this;
}

CP_InStream& CP_InStream::ReadSize(CP_Size& value) {
  uint16_t raw[2] = {};
  Read(raw, sizeof raw);
  value.Set(int16_t(Swapped(raw[0])), int16_t(Swapped(raw[1])));
  return *this;
}

CP_InStream& CP_InStream::ReadBindings(CP_Bindings& value) {
  ReadBool(value.left);
  ReadBool(value.top);
  ReadBool(value.right);
  ReadBool(value.bottom);
  return *this;
}

CP_InStream& CP_InStream::ReadRGBColor(CP_RGBColor& value) {
  uint16_t raw[3] = {};
  Read(raw, sizeof raw);
  value.Set(Swapped(raw[0]), Swapped(raw[1]), Swapped(raw[2]));
  return *this;
}
