#include "CP_Adorner.h"

void CP_Adorner::DrawAdornment(CP_Canvas*, CP_Pane*) {}

void CP_Adorner::PaneChanged(CP_Pane*) {}

void CP_Adorner::ReadFromStream(void*, CP_InStream&) {}

void CP_Adorner::WriteToStream(CP_OutStream&) {}
