#include "CP_PushButton.h"

#include "CP_InStream.h"
#include "CP_OutStream.h"
#include "CP_TextTrait.h"
#include "CP_View.h"

namespace {

CP_PushButton* gDefaultButton = nullptr;

}  // namespace

CP_PushButton* CP_PushButton::GetDefaultButton() { return gDefaultButton; }

CP_PushButton::CP_PushButton(CP_View* superPane, const CP_PaneInfo& info, const std::string& text,
                             bool isDefault)
    : CP_PlatformControl(superPane, info, kPushButton, text, 1, 0, 0, 1), fDefault(isDefault) {
  if (!fDefault) {
    MakeButtonWindow();
    return;
  }
  gDefaultButton = this;
  MakeDefaultWindow();
}

CP_PushButton::CP_PushButton(CP_View* superPane, Stored)
    : CP_PlatformControl(superPane, CP_PaneInfo(), kPushButton, "", 1, 0, 0, 1) {}

// Also a button that is no longer marked default but still holds the place:
// the program must not keep a pointer to a button that has gone.
CP_PushButton::~CP_PushButton() {
  if (fDefault || gDefaultButton == this) gDefaultButton = nullptr;
}

CP_M_Reanimatable* CP_PushButton::CreateFromStream(CP_M_Reanimatable* superView, CP_InStream& in) {
  auto* button = new CP_PushButton(dynamic_cast<CP_View*>(superView), Stored{});
  try {
    button->ReadFromStream(nullptr, in);
  } catch (...) {
    delete button;
    throw;
  }
  button->PlaceAfterReading();
  if (button->fDefault) {
    gDefaultButton = button;
    button->MakeDefaultWindow();
  } else {
    button->MakeButtonWindow();
  }
  return button;
}

void CP_PushButton::MakeButtonWindow() { MakeControlWindow(fLocation, fSize, fText, "button", WS_CHILD); }

void CP_PushButton::MakeDefaultWindow() {
  CP_TextTrait* trait = GetTextTrait();
  if (trait) trait->AddReference();
  if (fControlWindow) {
    HWND old = fControlWindow;
    ReleaseWindow();
    ShowWindow(old, SW_HIDE);
    DestroyWindow(old);
    fControlWindow = nullptr;
    fWindow = nullptr;
  }
  uint32_t style = WS_CHILD | BS_DEFPUSHBUTTON;
  if (fVisibleState == kOn) style |= WS_VISIBLE;
  MakeControlWindow(fLocation, fSize, fText, "button", style);
  SetFocus(fControlWindow);
  if (trait) {
    UseTextTrait(trait);
    trait->RemoveReference();
  }
}

void CP_PushButton::Refresh() {
  if (IsVisible()) CP_PlatformControl::Refresh();
}

void CP_PushButton::ActivateOwn() {
  if (fDefault) gDefaultButton = this;
  CP_PlatformControl::ActivateOwn();
}

void CP_PushButton::EnableOwn() {
  if (fDefault) gDefaultButton = this;
  CP_PlatformControl::EnableOwn();
}

void CP_PushButton::DeactivateOwn() {
  if (fDefault) gDefaultButton = nullptr;
  CP_PlatformControl::DeactivateOwn();
}

void CP_PushButton::DisableOwn() {
  if (fDefault) gDefaultButton = nullptr;
  CP_PlatformControl::DisableOwn();
}

bool CP_PushButton::PressDefault() {
  if (!IsEnabled()) return false;
  ActiveSpotClicked(kWholeFrame);
  return true;
}

bool CP_PushButton::Press() { return PressDefault(); }

void CP_PushButton::WriteToStream(CP_OutStream& out) {
  CP_PlatformControl::WriteToStream(out);
  out.WriteBool(fDefault ? 1 : 0);
}

void CP_PushButton::ReadFromStream(void* context, CP_InStream& in) {
  CP_PlatformControl::ReadFromStream(context, in);
  in.ReadBool(fDefault);
}
