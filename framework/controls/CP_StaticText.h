#pragma once
// A label on a native "static" window that paints in its super-pane's
// background colour and its text trait's colour.
#include "CP_Pane.h"

#include <string>

class CP_M_Reanimatable;
class CP_TextTrait;

class CP_StaticText : public CP_Pane {
 public:
  // Throws the framework's null-pointer error when no window results.
  CP_StaticText(CP_View* superPane, const CP_PaneInfo& info, const std::string& text);
  ~CP_StaticText() override;

  // A stored label: the pane's fields, then the text.
  static CP_M_Reanimatable* CreateFromStream(CP_M_Reanimatable* superView, CP_InStream& in);

  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  // The native control paints itself.
  void DrawContent(const CP_Region&) override {}
  // The background of the colour source or the super-pane, the text in the
  // trait's colour; no brush without either background.
  LRESULT HandleControlColor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) override;

  // Takes the trait (one reference) and applies its font to the window.
  virtual void UseTextTrait(CP_TextTrait* trait);

  const std::string& GetText() const { return fText; }

 protected:
  const char* RuntimeClassName() const override { return "CP_StaticText"; }

 private:
  struct Stored {};
  CP_StaticText(CP_View* superPane, Stored);

  void MakeTextWindow(const std::string& text);

  std::string fText;
};
