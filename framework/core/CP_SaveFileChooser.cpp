#include "CP_SaveFileChooser.h"

#include "CP_Callback.h"
#include "CP_Win.h"

#include <commdlg.h>

#include <cstring>

namespace {

bool IsExplorerStyle() { return LOBYTE(LOWORD(GetVersion())) >= 4; }

UINT_PTR CALLBACK CenterFileDialogHook(HWND hook, UINT message, WPARAM, LPARAM) {
  return CP_GuardCallback(UINT_PTR(0), [&]() -> UINT_PTR {
    if (message != WM_INITDIALOG) return 0;
    // An explorer-style dialog hooks a child of the dialog window.
    HWND dialog = IsExplorerStyle() ? GetParent(hook) : hook;
    if (!dialog) dialog = hook;
    RECT box = {}, desktop = {};
    GetWindowRect(dialog, &box);
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int16_t w = int16_t(box.right - box.left);
    const int16_t h = int16_t(box.bottom - box.top);
    const int16_t x = int16_t((desktop.left + desktop.right) / 2 - w / 2);
    const int16_t y = int16_t((desktop.top + desktop.bottom) / 3 - h / 3);
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return 1;
  });
}

}  // namespace

bool SaveFileChooser::Ask(const std::string& prompt, const std::string& defaultName, int32_t) {
  char name[kMaxName + 1] = {};
  const std::string shown = defaultName.substr(0, kMaxName);
  std::memcpy(name, shown.data(), shown.size());

  OPENFILENAMEA dialog;
  std::memset(&dialog, 0, sizeof dialog);
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  dialog.lpstrFile = name;
  dialog.nMaxFile = sizeof name;
  dialog.lpstrTitle = prompt.c_str();
  // The chosen file may be new; an existing one is replaced only after the
  // user agreed.
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_ENABLEHOOK;
  if (IsExplorerStyle()) dialog.Flags |= OFN_EXPLORER;
  dialog.lpfnHook = CenterFileDialogHook;

  const BOOL chosen = GetSaveFileNameA(&dialog);
  CP_RethrowPendingException();
  if (!chosen) return false;
  name[kMaxName] = '\0';
  fSpec.Set(name, false);
  return true;
}
