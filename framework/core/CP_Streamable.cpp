#include "CP_Streamable.h"

#include "CP_OutStream.h"

void CP_M_Reanimatable::WriteToStream(CP_OutStream&) {}
void CP_M_Reanimatable::ReadFromStream(void*, CP_InStream&) {}

std::string CP_M_Reanimatable::GetClassName() {
  if (fClassName == "????") fClassName = RuntimeClassName();
  return fClassName;
}

void CP_M_Reanimatable::WriteClassName(CP_OutStream& out) {
  out.WriteString(GetClassName());
  StreamOut(out);
}
