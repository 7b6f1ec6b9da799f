#include "CP_ControlClasses.h"

#include "CP_ImageResource.h"
#include "CP_PopupMenu.h"
#include "CP_PushButton.h"
#include "CP_Reanimator.h"
#include "CP_StaticText.h"
#include "CP_StatusBar.h"

void CP_RegisterControlClasses() {
  CP_Reanimator::RegisterCreator("CP_PushButton", CP_PushButton::CreateFromStream);
  CP_Reanimator::RegisterCreator("CP_StaticText", CP_StaticText::CreateFromStream);
  CP_Reanimator::RegisterCreator("CP_PopupMenu", CP_PopupMenu::CreateFromStream);
  CP_Reanimator::RegisterCreator("CP_StatusBar", CP_StatusBar::CreateFromStream);
  CP_Reanimator::RegisterCreator("CP_ImageResource", CP_ImageResource::CreateFromStream);
}
