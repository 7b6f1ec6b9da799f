#pragma once
// The reading end of the framework byte stream. A stream may begin with a
// 12-byte header: byte-order mark ('B' or 'L' as a 16-bit value), signature
// 'VORN', format version 1 to 6 and a flag word. Values follow without
// padding in the writer's order, little-endian here; the reader reverses
// 16- and 32-bit values only when a 'B' mark told it to.
#include "CP_Geometry.h"
#include "CP_RGBColor.h"

#include <cstdint>
#include <string>

class CP_InStream {
 public:
  // A byteOrder of 0xFFFF forbids swapping whatever the mark says.
  static constexpr uint16_t kNeverSwap = 0xFFFF;

  CP_InStream(uint8_t hasHeader, uint8_t headerFlag, uint16_t byteOrder);
  CP_InStream(const CP_InStream&) = delete;
  CP_InStream& operator=(const CP_InStream&) = delete;
  virtual ~CP_InStream() = default;

  // Reads the header first when it is due; throws when the bytes are not
  // there.
  void Read(void* buffer, uint32_t count);
  // As Read, but answers 0 and reads nothing when the bytes are not all
  // there; else count.
  uint32_t TryRead(void* buffer, uint32_t count);

  virtual uint32_t GetLength() const = 0;
  virtual uint32_t GetPosition() const = 0;
  virtual void SetPosition(uint32_t position) = 0;
  virtual void ReadRawBytes(void* buffer, uint32_t count) = 0;
  virtual uint32_t TryReadRawBytes(void* buffer, uint32_t count) = 0;
  // Throws CP_RuntimeException -1001 for a bad mark or version and -1000
  // for a bad signature; the header then counts as unread.
  void ReadHeader();

  bool IsAtEnd() const { return GetPosition() >= GetLength(); }

  bool HasHeader() const { return fHasHeader != 0; }
  bool IsHeaderRead() const { return fHeaderRead != 0; }
  bool IsSwapping() const { return fSwap != 0; }
  int32_t GetVersion() const { return fVersion; }
  uint8_t GetHeaderFlag() const { return fHeaderFlag; }

  CP_InStream& ReadInt16(int16_t& value);
  CP_InStream& ReadInt16(uint16_t& value);
  CP_InStream& ReadInt32(int32_t& value);
  CP_InStream& ReadInt32(uint32_t& value);
  // Two bytes; any value but 0 reads as 1.
  CP_InStream& ReadBool(uint8_t& value);
  CP_InStream& ReadBool(bool& value);
  // A 16-bit length, then the characters; an embedded 0 byte ends the text.
  CP_InStream& ReadString(std::string& value);
  CP_InStream& ReadPoint(CP_Point& value);     // h, then v
  CP_InStream& ReadSize(CP_Size& value);       // width, then height
  CP_InStream& ReadBindings(CP_Bindings& value);  // left, top, right, bottom
  CP_InStream& ReadRGBColor(CP_RGBColor& value);  // red, green, blue

 private:
  uint16_t Swapped(uint16_t value) const;
  uint32_t Swapped(uint32_t value) const;

  uint8_t fHasHeader;
  uint8_t fHeaderRead = 0;
  uint8_t fSwap = 0;
  uint16_t fByteOrder;
  int32_t fVersion = 6;
  uint8_t fHeaderFlag;
};

uint16_t SwapBytes16(const void* value);
uint32_t SwapBytes32(const void* value);
