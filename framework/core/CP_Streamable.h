#pragma once
// Objects that write their fields to the framework byte stream and read them
// back, and objects that also carry the name of their class, so that a stored
// tree can be rebuilt by name.
#include <string>

class CP_InStream;
class CP_OutStream;

class CP_M_Streamable {
 public:
  virtual void StreamOut(CP_OutStream& out) { WriteToStream(out); }
  // The context is the reader's; panes and views pass it on unread.
  virtual void StreamIn(void* context, CP_InStream& in) { ReadFromStream(context, in); }
  virtual ~CP_M_Streamable() = default;
  virtual void WriteToStream(CP_OutStream&) {}
  virtual void ReadFromStream(void*, CP_InStream&) {}
};

class CP_M_Reanimatable : public CP_M_Streamable {
 public:
  // Each class writes and reads its own fields; these bodies, which do
  // nothing, are where a class's own writing and reading begin.
  void WriteToStream(CP_OutStream& out) override = 0;
  void ReadFromStream(void* context, CP_InStream& in) override = 0;

  // The class name; until one is set, the fixed name of the object's
  // most-derived class.
  virtual std::string GetClassName();
  virtual void SetClassName(const std::string& name) { fClassName = name; }
  // The class name as stream text, then the object's fields.
  virtual void WriteClassName(CP_OutStream& out);

 protected:
  // The fixed name that stored trees know the class by: never a compiler's
  // type name, which differs between compilers.
  virtual const char* RuntimeClassName() const = 0;

 private:
  std::string fClassName = "????";
};
