#pragma once
// The radio buttons of a stored window that belong together. A button
// leaves its group when it is destroyed.
#include "CP_Broadcaster.h"
#include "CP_Streamable.h"

#include <vector>

class CP_Control;

class CP_RadioButtonGroup : public CP_M_Listener, public CP_M_Reanimatable {
 public:
  CP_RadioButtonGroup() = default;

  void ReceiveBroadcast(CP_Message&) override {}
  // A group keeps no stored fields of its own.
  void WriteToStream(CP_OutStream&) override {}
  void ReadFromStream(void*, CP_InStream&) override {}

  void AddButton(CP_Control* button) { fButtons.push_back(button); }
  // Takes out the first entry of this button; nothing when it is absent.
  void RemoveButton(CP_Control* button);
  const std::vector<CP_Control*>& GetButtons() const { return fButtons; }

 protected:
  const char* RuntimeClassName() const override { return "CP_RadioButtonGroup"; }

 private:
  std::vector<CP_Control*> fButtons;  // not owned
};
