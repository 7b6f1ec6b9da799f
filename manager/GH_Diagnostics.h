#pragma once
// The "-d" start: repairs the films folder's drive record, records a screen
// size that fits the display, checks the settings file and shows a dialog
// that plays the test film "default.flm" in a loop, so that the user can
// tell whether films play on this machine.
#include "CP_Win.h"
#include "QTToolbox.h"

#include <cstdint>
#include <string>

class CDDatabase;

// The pass lives as long as this object: the constructor runs it and
// returns when the dialog has closed or was not shown; the destructor
// releases the test film when the dialog left it behind.
class GH_Diagnostics {
 public:
  GH_Diagnostics() { DiagnosticsRun(); }
  ~GH_Diagnostics() { DiagnosticsDone(); }
  GH_Diagnostics(const GH_Diagnostics&) = delete;
  GH_Diagnostics& operator=(const GH_Diagnostics&) = delete;

 private:
  static void DiagnosticsRun();
  static void DiagnosticsDone();
};

// The test film and its controller. The dialog procedure is a plain Win32
// procedure, so they are kept process-wide; null when none.
extern Movie testFilmMovie;
extern MovieController testFilmController;

// Gives the films folder's drive record a path when the drive table holds
// just that one record and it has none yet. True when it had none.
bool RecordFilmsFolderDrive(CDDatabase& database);

// The same, then records the screen size when the record had no path.
bool RepairFilmsFolderDrive(CDDatabase& database);

// Writes `AutoResize` = "0" and the `ScreenSize` that fits the screen.
void ScreenSizeCheck();
// "1024 x 768" and the like: the largest listed size whose height fits;
// empty below 480.
std::string ScreenSizeText(int32_t screenHeight);

// The command-line start of the CD's own program, read from the CD's
// "setup.ini"; false, and nothing set, when the CD has none.
bool CDProgramStart(const std::string& driveRoot, std::string& program, std::string& parameters);

INT_PTR CALLBACK DiagnosticsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
Boolean TestFilmActionFilter(MovieController controller, int16_t action, void* params, QTRefCon refCon);
