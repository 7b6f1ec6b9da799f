#include "Saver.h"

#include <cstdio>
#include <cstring>

namespace {

// Process-wide values.
bool saverMajorVersion4 = false;
bool launchPending = true;  // the engine is started once per saver process
bool managerFound = false;

const char kSettingsFile[] = "glintharbour.ini";
const char kManagerTitle[] = "Glintharbour Player";
const char kEngineProgram[] = "KX3 Engine.exe";
const char kManagerProgram[] = "Glintharbour KX3.exe";

const char kCaptionKX[] = "Glintharbour KX";
const char kCaptionInternational[] = "Glintharbour International";
const char kNotInstalled[] = "Glintharbour is not installed correctly. Please Re-Install.";
const char kProgramMissing[] =
    "Cannot find the Glintharbour Executable. The file is missing or corrupt.\r\n\r\n"
    "Please Re-Install Glintharbour. Thanks!";
const char kLowColour[] =
    "This software cannot run at it's optimised level.\r\n\r\n"
    "Please reset your monitor to 16 bit color, or higher.";
const char kCannotLaunch[] = "Cannot launch screensaver.\tPlease Re-Install Glintharbour.";

constexpr int kPreviewBitmap = 1001;
constexpr int kHotCornerSlack = 4;

// Owners of the handles the saver takes.
class ScreenDC {
 public:
  ScreenDC() : fDC(GetDC(nullptr)) {}
  ~ScreenDC() {
    if (fDC) ReleaseDC(nullptr, fDC);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC get() const { return fDC; }

 private:
  HDC fDC;
};

class PaintDC {
 public:
  explicit PaintDC(HWND window) : fWindow(window) { fDC = BeginPaint(window, &fPaint); }
  ~PaintDC() { EndPaint(fWindow, &fPaint); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC get() const { return fDC; }

 private:
  HWND fWindow;
  PAINTSTRUCT fPaint{};
  HDC fDC;
};

class MemoryDC {
 public:
  explicit MemoryDC(HDC like) : fDC(CreateCompatibleDC(like)) {}
  ~MemoryDC() {
    if (fDC) DeleteDC(fDC);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return fDC; }

 private:
  HDC fDC;
};

class Bitmap {
 public:
  explicit Bitmap(HBITMAP bitmap) : fBitmap(bitmap) {}
  ~Bitmap() {
    if (fBitmap) DeleteObject(fBitmap);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  HBITMAP get() const { return fBitmap; }

 private:
  HBITMAP fBitmap;
};

// Puts the DC's old object back first: a DC must not be deleted holding ours.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : fDC(dc), fOld(SelectObject(dc, object)) {}
  ~Selection() {
    if (fOld) SelectObject(fDC, fOld);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC fDC;
  HGDIOBJ fOld;
};

class Handle {
 public:
  explicit Handle(HANDLE handle) : fHandle(handle) {}
  ~Handle() {
    if (fHandle) CloseHandle(fHandle);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return fHandle; }

 private:
  HANDLE fHandle;
};

std::string ReadInstallationPath() {
  char path[256] = {};
  GetPrivateProfileStringA("Glintharbour", "Path", "", path, sizeof path, kSettingsFile);
  return path;
}

std::string ProgramIn(std::string folder, const char* program) {
  if (folder.back() != '\\') folder += '\\';
  return folder + program;
}

bool CursorInHotCorner() {
  RECT desktop{};
  POINT cursor{};
  if (!GetWindowRect(GetDesktopWindow(), &desktop) || !GetCursorPos(&cursor)) return false;
  return cursor.x >= desktop.right - kHotCornerSlack && cursor.x <= desktop.right + kHotCornerSlack &&
         cursor.y >= desktop.bottom - kHotCornerSlack && cursor.y <= desktop.bottom + kHotCornerSlack;
}

int ScreenBitsPerPixel() {
  ScreenDC screen;
  return GetDeviceCaps(screen.get(), BITSPIXEL);
}

// The manager's window may belong to any process: only the foreground
// request reaches it (focus can be set only on one's own windows).
void BringForward(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
}

// Waits for the started program's main thread while still answering
// messages that other programs send to the saver's windows: a thread that
// owns windows and stops answering hangs every sender, broadcasts included.
void WaitForThreadEnd(HANDLE thread) {
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
    if (woke != WAIT_OBJECT_0 + 1) return;  // the thread ended, or the wait cannot go on
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // handles sent messages only
  }
}

// Windows 95, 98 and ME run the manager on the desktop "default".
void FindManagerOnDefaultDesktop() {
  HDESK desktop = OpenDesktopA("default", 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_WRITEOBJECTS);
  if (!desktop) return;
  EnumDesktopWindows(desktop, FindManagerWindowProc, 0);
  CloseDesktop(desktop);
}

void StartEngine() {
  launchPending = false;
  const std::string path = ReadInstallationPath();
  if (path.empty()) {
    MessageBoxA(nullptr, kNotInstalled, kCaptionKX, MB_OK);
    return;
  }
  const std::string engine = ProgramIn(path, kEngineProgram);
  if (!SaverFileExists(engine)) {
    MessageBoxA(nullptr, kProgramMissing, kCaptionInternational, MB_OK);
    return;
  }
  LaunchProgram(engine);
}

void PaintPreview(HWND window) {
  Bitmap picture(LoadBitmapA(hMainInstance, MAKEINTRESOURCEA(kPreviewBitmap)));
  PaintDC paint(window);
  if (!picture.get() || !paint.get()) return;
  BITMAP size{};
  GetObjectA(picture.get(), sizeof size, &size);
  MemoryDC memory(paint.get());
  Selection selected(memory.get(), picture.get());
  // Only the picture itself: the rest of the preview keeps the black background.
  BitBlt(paint.get(), 0, 0, size.bmWidth, size.bmHeight, memory.get(), 0, 0, SRCCOPY);
}

void CloseConfiguration(HWND dialog) {
  SendMessageA(dialog, WM_CLOSE, 0, 0);
  PostQuitMessage(0);
}

void StartManager(HWND dialog) {
  const std::string path = ReadInstallationPath();
  if (path.empty()) {
    MessageBoxA(nullptr, kNotInstalled, kCaptionKX, MB_OK);
    CloseConfiguration(dialog);
    return;
  }
  const std::string manager = ProgramIn(path, kManagerProgram);
  if (!SaverFileExists(manager)) {
    MessageBoxA(nullptr, kProgramMissing, kCaptionInternational, MB_OK);
    return;  // the dialog stays open
  }
  LaunchProgram(manager);
  CloseConfiguration(dialog);
}

}  // namespace

std::string SaverArguments(const char* commandLine) {
  const char* p = commandLine ? commandLine : "";
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

bool IsPreviewCommandLine(const char* commandLine) {
  // Only the arguments: the program's own folder may hold "-p" in a name.
  const std::string arguments = SaverArguments(commandLine);
  for (const char* flag : {"/p", "/P", "-p"})
    if (arguments.find(flag) != std::string::npos) return true;
  return false;
}

bool SaverFileExists(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return false;
  std::fclose(file);
  return true;
}

bool LaunchProgram(const std::string& path) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  char desktop[] = "winsta0\\default";
  if (saverMajorVersion4) startup.lpDesktop = desktop;
  // The program named apart and quoted in its command line: the folder and
  // the file name hold blanks, and an unquoted path would start a program
  // named by its first words, or hand the rest to the program as arguments.
  std::string commandLine = "\"" + path + "\"";
  PROCESS_INFORMATION started = {};
  if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    MessageBoxA(nullptr, kCannotLaunch, "Glintharbour", MB_OK);
    return false;
  }
  Handle process(started.hProcess);
  Handle thread(started.hThread);
  if (!saverMajorVersion4) WaitForThreadEnd(thread.get());
  return true;
}

BOOL CALLBACK FindManagerWindowProc(HWND window, LPARAM) {
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  if (std::strcmp(title, kManagerTitle) == 0) {
    BringForward(window);
    managerFound = true;
  }
  return TRUE;
}

namespace {

LRESULT HandleSaverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  saverMajorVersion4 = LOBYTE(LOWORD(GetVersion())) == 4;
  if (CursorInHotCorner()) PostQuitMessage(0);  // and the message is handled on
  if (ScreenBitsPerPixel() < 16) {
    MessageBoxA(nullptr, kLowColour, kCaptionKX, MB_OK);
    PostQuitMessage(0);
    return 0;
  }
  if (IsPreviewCommandLine(GetCommandLineA())) {
    if (message == WM_PAINT) PaintPreview(window);
    return DefScreenSaverProc(window, message, wParam, lParam);
  }
  // Outside the preview every message is answered 0, creation included: the
  // saver window never comes into being and the process ends once the
  // engine runs or the manager is in front.
  if (!launchPending) return 0;
  if (saverMajorVersion4) {
    FindManagerOnDefaultDesktop();
    if (managerFound) return 0;
  }
  if (HWND manager = FindWindowA(nullptr, kManagerTitle)) {
    BringForward(manager);
    return 0;
  }
  StartEngine();
  return 0;
}

}  // namespace

// No exception may cross Windows' frames back to the library: a failure
// (only memory can fail here) ends the handling of that one message.
LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return HandleSaverMessage(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      try {
        StartManager(dialog);
      } catch (...) {
        // As when the program is missing: the dialog stays for the user to close.
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
    case WM_SYSCOMMAND:
      // No screen saver while its settings are open.
      return (wParam & 0xFFF0) == SC_SCREENSAVE ? 1 : 0;
    default:
      return 0;
  }
}

BOOL WINAPI RegisterDialogClasses(HANDLE) { return TRUE; }
