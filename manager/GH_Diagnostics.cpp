#include "GH_Diagnostics.h"

#include "CDDatabase.h"
#include "CP_Callback.h"
#include "CP_MovieEvents.h"
#include "GH_CDDriveAndHelp.h"
#include "GH_FilmsFolder.h"
#include "GH_Globals.h"
#include "GH_Resources.h"
#include "GH_Settings.h"
#include "GH_Utilities.h"
#include "store/library/FilmDataReadersQT.h"

#include <shellapi.h>

Movie testFilmMovie = nullptr;
MovieController testFilmController = nullptr;

namespace {

constexpr char kCaption[] = "Glintharbour International";
constexpr int32_t kTestFilmControllerFlags =
    mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible | mcWithFrame;  // 27
constexpr Fixed kNormalRate = 0x10000;
constexpr INT_PTR kDialogFinished = 4;

// The dialog procedure's working path, and the CD drive it starts from.
std::string workingPath;
std::string cdDrivePath;

std::string Setting(const char* key) {
  std::string value;
  ReadIniString(kIniSection, key, "", value, kIniFile);
  return value;
}

// The controller goes first: it must not be left holding a disposed movie.
void DisposeTestFilm() {
  if (testFilmController) DisposeMovieController(testFilmController);
  testFilmController = nullptr;
  if (testFilmMovie) DisposeMovie(testFilmMovie);
  testFilmMovie = nullptr;
}

// The toolbox reads the whole film when it makes the movie, so the file is
// closed again at once. Null when the file is missing or no film.
Movie OpenTestFilm(const std::string& path) {
  FSSpec spec;
  manager_data::PathToFileSpec(spec, path);
  int16_t file = 0;
  if (OpenMovieFile(&spec, &file, fsRdPerm) != noErr) return nullptr;
  Movie movie = nullptr;
  int16_t resourceId = movieInDataForkResID;
  const OSErr error = NewMovieFromFile(&movie, file, &resourceId, nullptr, newMovieActive, nullptr);
  CloseMovieFile(file);
  if (error != noErr && movie) {
    DisposeMovie(movie);
    movie = nullptr;
  }
  return movie;
}

void StartTestFilm() {
  const std::string path = Setting("Path");
  if (path.empty()) {
    MessageBoxA(nullptr, "Installation is corrupt.\r\nPlease Re-Install", kCaption, MB_OK);
    return;
  }
  testFilmMovie = OpenTestFilm(path + "\\default.flm");
  if (!testFilmMovie) return;
  Rect box;
  box.top = 40;
  box.left = 10;
  box.bottom = 240;
  box.right = 320;
  SetMovieBox(testFilmMovie, &box);
  testFilmController = NewMovieController(testFilmMovie, &box, kTestFilmControllerFlags);
  if (!testFilmController) return;
  MCMovieChanged(testFilmController, testFilmMovie);
  MCSetActionFilterWithRefCon(testFilmController, TestFilmActionFilter, 0);
  MCDoAction(testFilmController, mcActionPlay, reinterpret_cast<void*>(intptr_t(kNormalRate)));
}

void PlaceItem(HWND dialog, int id, const char* text, int x, int y, int width, int height) {
  SetDlgItemTextA(dialog, id, text);
  SetWindowPos(GetDlgItem(dialog, id), nullptr, x, y, width, height, SWP_SHOWWINDOW);
}

// "No": the film does not show, so the installation's video codec is
// installed; the dialog then only waits for OK.
void InstallCodec(HWND dialog) {
  workingPath.clear();
  MessageBoxA(dialog,
              "To rectify the video problem we need to install a video codec.\r\n"
              "Just use all the defaults in the following installer and the codec will rectify the problem.",
              kCaption, MB_OK);
  workingPath = Setting("Path") + "\\truemotion\\setup.exe";
  if (!FileExists(workingPath)) {
    MessageBoxA(dialog, "Cannot find setup.exe to install codec", kCaption, MB_OK);
    return;
  }
  DisposeTestFilm();
  ShellExecuteA(nullptr, "open", workingPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  RECT frame = {};
  GetWindowRect(dialog, &frame);
  SetWindowPos(dialog, HWND_NOTOPMOST, frame.left, frame.top + 75, frame.right - frame.left, 78, SWP_SHOWWINDOW);
  PlaceItem(dialog, IDOK, "OK", 130, 25, 55, 25);
  PlaceItem(dialog, GH_ITEM_DIAG_QUESTION, "Click OK to continue.", 2, 10, 100, 15);
}

// "Yes" or "OK": the pass is over; the CD's own program takes over.
void Finish(HWND dialog) {
  MessageBoxA(dialog, "Glintharbour Diagnostics have completed successfully.\r\n\r\nEnjoy!", kCaption, MB_OK);
  cdDrivePath = Setting("CDDrive");
  if (cdDrivePath.empty()) {
    FindCDDrive(cdDrivePath);
    WriteIniString(kIniSection, "CDDrive", cdDrivePath.c_str(), kIniFile);
  }
  if (!cdDrivePath.empty() && cdDrivePath.back() != '\\') cdDrivePath += '\\';
  std::string program, parameters;
  if (CDProgramStart(cdDrivePath, program, parameters)) {
    SetCurrentDirectoryA(cdDrivePath.c_str());
    ShellExecuteA(nullptr, nullptr, program.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
  }
  EndDialog(dialog, kDialogFinished);
}

INT_PTR HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (testFilmController) OfferMessageToController(testFilmController, dialog, message, wParam, lParam);
  switch (message) {
    case WM_INITDIALOG:
      CreatePortAssociation(dialog, nullptr, 0);
      MacSetPort(GetNativeWindowPort(dialog));
      SetDialogIcon(dialog);
      StartTestFilm();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDCANCEL:
          InstallCodec(dialog);
          return TRUE;
        case IDOK:
          Finish(dialog);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_DESTROY:
      DisposeTestFilm();
      DestroyPortAssociation(GetNativeWindowPort(dialog));
      return FALSE;
    case WM_PAINT:
      ValidateDialogPaint(dialog);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void GH_Diagnostics::DiagnosticsRun() {
  {
    CDDatabase database("Config Tool");
    RepairFilmsFolderDrive(database);
  }
  if (HWND splash = FindWindowA(nullptr, "GH_Window")) ShowWindow(splash, SW_HIDE);
  if (!ValidateIniSettings()) return;
  DialogBoxParamA(ManagerInstance(), MAKEINTRESOURCEA(GH_DIALOG_DIAGNOSTICS), nullptr, DiagnosticsDialog, 0);
  CP_RethrowPendingException();
}

void GH_Diagnostics::DiagnosticsDone() { DisposeTestFilm(); }

bool RecordFilmsFolderDrive(CDDatabase& database) {
  C4Table* drives = database.DriveTable();
  if (!drives || C4Count(drives) != 1) return false;
  DriveRecord drive;
  drive.LABEL = filmsFolderAlias;
  if (database.FindDriveRecord(drive) || drive.PATH.size() >= 2) return false;
  drive.PATH = SetUpFilmsFolder();
  // Without a films folder there is nothing to record; writing the empty
  // path would only wipe the `MovieDirectory` setting.
  if (!drive.PATH.empty() && database.UpdateDriveRecord(drive)) database.NoteFailedWrite("GH_DriveDB");
  return true;
}

bool RepairFilmsFolderDrive(CDDatabase& database) {
  if (!RecordFilmsFolderDrive(database)) return false;
  ScreenSizeCheck();
  return true;
}

std::string ScreenSizeText(int32_t screenHeight) {
  struct Size {
    int32_t height;
    const char* text;
  };
  static const Size kSizes[] = {
      {480, "640 x 480"},   {600, "800 x 600"},   {768, "1024 x 768"},
      {864, "1152 x 864"}, {1024, "1280 x 1024"}, {1200, "1600 x 1200"},
  };
  std::string text;
  for (const Size& size : kSizes)
    if (size.height <= screenHeight) text = size.text;
  return text;
}

void ScreenSizeCheck() {
  WriteIniString(kIniSection, "AutoResize", "0", kIniFile);
  WriteIniString(kIniSection, "ScreenSize", ScreenSizeText(GetSystemMetrics(SM_CYSCREEN)).c_str(), kIniFile);
}

bool CDProgramStart(const std::string& driveRoot, std::string& program, std::string& parameters) {
  // Without a drive the file name alone would be looked for in the current
  // folder, which is no CD.
  if (driveRoot.empty()) return false;
  std::string root = driveRoot;
  if (root.back() != '\\') root += '\\';
  const std::string setup = root + "setup.ini";
  if (!FileExists(setup)) return false;
  char value[256] = {};
  GetPrivateProfileStringA("FilePath", "EntryPointParamsShowMainMenu", "", value, sizeof value, setup.c_str());
  program = root + "ZUDaruzo.exe";
  parameters = root + value;
  return true;
}

INT_PTR CALLBACK DiagnosticsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return CP_GuardCallback(INT_PTR(FALSE), [&] { return HandleDialogMessage(dialog, message, wParam, lParam); });
}

// Starts the film again from its beginning whenever it stops, so that the
// user has time to answer.
Boolean TestFilmActionFilter(MovieController controller, int16_t action, void*, QTRefCon) {
  if (action != mcActionIdle) return false;
  long flags = 0;
  if (controller && MCGetControllerInfo(controller, &flags) == noErr && (flags & mcInfoIsPlaying)) return false;
  if (controller) {
    TimeRecord start = {};
    MCDoAction(controller, mcActionGoToTime, &start);
    MCDoAction(controller, mcActionPlay, reinterpret_cast<void*>(intptr_t(kNormalRate)));
  }
  return true;
}
