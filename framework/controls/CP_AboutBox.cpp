#include "CP_AboutBox.h"

#include "CP_Desktop.h"
#include "CP_Dialog.h"
#include "CP_PushButton.h"
#include "CP_StaticText.h"
#include "CP_Window.h"

namespace {

const CP_Point kBoxPosition(int16_t(10), int16_t(10));
const CP_Size kBoxSize(350, 190);
// WS_POPUP | WS_DLGFRAME.
constexpr uint32_t kBoxStyle = 0x80400000;
// The OK button's broadcast code.
constexpr int32_t kOK = 1;

const char kMadeWith[] =
    "This program was written with the CP\r\n"
    "application framework, a C++ class\r\n"
    "library for Windows programs.";
const char kNotice[] =
    "The framework is provided as it is,\r\n"
    "without warranty of any kind.\r\n"
    "All rights reserved.";

CP_PaneInfo Place(int h, int v, int width, int height) {
  return CP_PaneInfo(CP_Point(int32_t(h), int32_t(v)), CP_Size(width, height));
}

// Asks the desktop to ready itself for a modal box and to restore its
// windows afterwards, also when the box fails.
class ModalScope {
 public:
  ModalScope() {
    if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) desktop->BeforeModal();
  }
  ~ModalScope() {
    if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) desktop->AfterModal();
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
};

}  // namespace

// No extended style: the style's bits read as extended styles would mirror
// the box right to left.
void CP_AboutBox::ShowModal() {
  ModalScope modal;
  CP_WindowInfo info(CP_PaneInfo(kBoxPosition, kBoxSize), CP_Window::kDialogLike);
  info.style = kBoxStyle;
  info.exStyle = 0;
  CP_Dialog dialog;
  dialog.MakeWindow(info, "");
  BuildContent(dialog);
  RunUntilOK(dialog);
}

void CP_AboutBox::ShowModalFromResource(int16_t resourceId) {
  ModalScope modal;
  CP_Dialog dialog;
  dialog.MakeWindowFromResource(resourceId);
  RunUntilOK(dialog);
}

void CP_AboutBox::BuildContent(CP_Dialog& dialog) {
  CP_Window* box = dialog.GetWindow();
  if (!box) return;
  const CP_Rect frame = box->GetFrame();
  const int width = frame.Width();
  const int height = frame.Height();
  new CP_StaticText(box, Place(26, 13, width - 26, 70), kMadeWith);
  new CP_StaticText(box, Place(26, 95, width - 26, 50), kNotice);
  auto* ok = new CP_PushButton(box, Place(width - 100, height - 36, 80, 20), "OK", true);
  ok->SetBroadcastCode(kOK);
  ok->AddListener(&dialog);
}

void CP_AboutBox::RunUntilOK(CP_Dialog& dialog) {
  CP_Message message;
  do {
    dialog.ProcessModalEvent(message);
  } while (!(message.value == kOK && message.code == 0));
}
