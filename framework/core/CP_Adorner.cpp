#include "CP_Adorner.h"

#include "CP_Pane.h"

void CP_Adorner::DrawAdornment(CP_Canvas*, CP_Pane*) {}

void CP_Adorner::PaneChanged(CP_Pane* pane) {
  if (!pane || !pane->IsVisible()) return;
  pane->TakeFocus(nullptr);
  pane->Refresh();
}

void CP_Adorner::ReadFromStream(void*, CP_InStream&) {}

void CP_Adorner::WriteToStream(CP_OutStream&) {}
