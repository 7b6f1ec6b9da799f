#include "CP_OutStream.h"

#include "CP_Exception.h"

CP_OutStream& CP_OutStream::WriteInt16(int16_t value) {
  Write(&value, 2);
  return *this;
}

CP_OutStream& CP_OutStream::WriteInt32(int32_t value) {
  Write(&value, 4);
  return *this;
}

CP_OutStream& CP_OutStream::WriteBool(uint8_t value) { return WriteInt16(int16_t(value)); }

CP_OutStream& CP_OutStream::WriteString(const std::string& value) {
  // A cut length would leave the rest of the text to be read as values.
  if (value.size() > 0xFFFF) throw CP_RuntimeException(kCP_ParamError, "CP_OutStream.cpp", __LINE__);
  WriteInt16(int16_t(uint16_t(value.size())));
  if (!value.empty()) Write(value.data(), uint32_t(value.size()));
  return *this;
}

CP_OutStream& CP_OutStream::WritePoint(const CP_Point& value) { return WriteInt16(value.h).WriteInt16(value.v); }

CP_OutStream& CP_OutStream::WriteSize(const CP_Size& value) {
  return WriteInt16(value.width).WriteInt16(value.height);
}

CP_OutStream& CP_OutStream::WriteBindings(const CP_Bindings& value) {
  return WriteBool(value.left).WriteBool(value.top).WriteBool(value.right).WriteBool(value.bottom);
}

CP_OutStream& CP_OutStream::WriteRGBColor(const CP_RGBColor& value) {
  return WriteInt16(int16_t(value.GetRed())).WriteInt16(int16_t(value.GetGreen())).WriteInt16(int16_t(value.GetBlue()));
}
