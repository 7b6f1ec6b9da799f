#pragma once
// A native push button ("button" class). A default button also answers the
// space key of its window: at most one button of the program is the default
// push button at a time.
#include "CP_PlatformControl.h"

class CP_M_Reanimatable;

class CP_PushButton : public CP_PlatformControl {
 public:
  // Value 0, minimum 0, maximum 1. A default button becomes the program's
  // default push button at once.
  CP_PushButton(CP_View* superPane, const CP_PaneInfo& info, const std::string& text, bool isDefault);
  ~CP_PushButton() override;

  // A stored button: pane, control and kind fields, then the default flag.
  static CP_M_Reanimatable* CreateFromStream(CP_M_Reanimatable* superView, CP_InStream& in);

  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  void Refresh() override;
  // A default button takes the program's default-button place when it is
  // activated or enabled, and clears that place (whoever held it) when it
  // is deactivated or disabled.
  void ActivateOwn() override;
  void DeactivateOwn() override;
  void EnableOwn() override;
  void DisableOwn() override;

  // Clicks the whole button when it is enabled; false otherwise.
  virtual bool PressDefault();
  virtual bool Press();

  bool IsDefault() const { return fDefault; }
  static CP_PushButton* GetDefaultButton();

 protected:
  const char* RuntimeClassName() const override { return "CP_PushButton"; }

 private:
  struct Stored {};
  CP_PushButton(CP_View* superPane, Stored);

  void MakeButtonWindow();
  // Replaces any window the button has by one of the default style and
  // gives it the focus.
  void MakeDefaultWindow();

  bool fDefault = false;
};
