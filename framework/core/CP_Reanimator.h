#pragma once
// Stored object trees: a window with its panes, adorners, groups and
// validators written to the framework byte stream, and rebuilt class by
// class through creation functions registered under the class names.
//
// A "CPob" resource is a stream with a header, then the signature 'CPob'
// (also taken byte-reversed), a 16-bit version that must be 1 and a 16-bit
// word that is ignored, then records: a 32-bit tag and, except for 'enob',
// one stored object (class name and fields).
#include <cstdint>
#include <string>

class CP_InStream;
class CP_M_Commander;
class CP_M_Listener;
class CP_M_Reanimatable;
class CP_Window;

class CP_Reanimator {
 public:
  // Makes an object of one class, reading its fields from the stream. The
  // creation argument is what the record's tag hands over (a view, the
  // root, ...), or null.
  using Creator = CP_M_Reanimatable* (*)(CP_M_Reanimatable* creationArgument, CP_InStream& in);

  // Becomes the current reanimator until it is destroyed; the one current
  // before it is current again afterwards.
  CP_Reanimator();
  virtual ~CP_Reanimator();
  CP_Reanimator(const CP_Reanimator&) = delete;
  CP_Reanimator& operator=(const CP_Reanimator&) = delete;

  // The current reanimator; the built-in one when no other was made.
  static CP_Reanimator* GetCurrent();
  // Enters a class in the registry that all reanimators share.
  static void RegisterCreator(const std::string& className, Creator creator);

  CP_M_Reanimatable* Reanimate(const std::string& className, CP_M_Reanimatable* creationArgument,
                               CP_InStream& in);
  // Throws the framework's null-pointer error for a class not registered.
  Creator FindCreator(const std::string& className);
  // Reads records up to 'enob' or the end of the stream and answers the
  // root of the tree (null when no 'tpvi' or 'supv' record came). A parent
  // that is a view is the current view at the start. The listener is added
  // to every broadcasting sub-pane; the owner is not used here.
  CP_M_Reanimatable* RebuildTree(CP_InStream& in, CP_M_Reanimatable* parent, CP_M_Commander* owner,
                                 CP_M_Listener* listener);

 private:
  CP_Reanimator* fPrevious;
};

// Rebuilds the tree of a stream, which must be a window: it is given `owner`
// as its parent commander and told its tree is complete. Anything else
// throws a framework runtime error.
CP_Window* BuildWindowFromStream(CP_InStream& in, CP_M_Commander* owner, CP_M_Listener* listener);

// The window stored in the "CPob" resource `id`, or null. A missing
// resource, another signature or another version gives null silently; a
// failure while reading is reported and gives null.
CP_Window* LoadObjectResource(CP_M_Commander* owner, int16_t id, CP_M_Listener* listener);
CP_Window* ReanimateFromResource(CP_M_Commander* owner, int16_t id, CP_M_Listener* listener);
