#pragma once
// The Windows screen-saver library: the program's entry, the saver window
// and its default handling. The saver's own code supplies ScreenSaverProc,
// ScreenSaverConfigureDialog and RegisterDialogClasses (see <scrnsave.h>).
// mingw ships the library empty, so it is built here from its documented
// behaviour.
#include <windows.h>
#include <scrnsave.h>

enum class SaverRequest { Run, Preview, Configure, ChangePassword, Nothing };

struct SaverCommand {
  SaverRequest request = SaverRequest::Nothing;
  HWND window = nullptr;  // preview parent, or the owner of the dialogs
};

// Reads the arguments Windows passes (the command line without the program):
// blanks, '-' and '/' are skipped and the first letter decides.
SaverCommand ParseSaverCommandLine(const char* arguments);

// Runs one request as the entry function does; answers the exit code.
int RunScreenSaver(HINSTANCE instance, const char* arguments);

// The window class of the saver window, full-screen or preview.
extern const char kScreenSaverClass[];
