#pragma once
// A shared decoration that panes draw before or after their content. A pane
// holds one reference for each of its list entries and tells the adorner
// when it is added, removed or shown.
#include "CP_RefCounted.h"

class CP_Canvas;
class CP_InStream;
class CP_OutStream;
class CP_Pane;

class CP_Adorner : public CP_M_ReferenceCounted {
 public:
  CP_Adorner() = default;

  virtual void DrawAdornment(CP_Canvas* canvas, CP_Pane* pane);
  virtual void PaneChanged(CP_Pane* pane);
  // Adorners keep no stored fields of their own.
  virtual void ReadFromStream(void* context, CP_InStream& stream);
  virtual void WriteToStream(CP_OutStream& stream);
};
