#pragma once
// The library manager's three ways of starting, chosen from the whole
// command line: the normal start, the diagnostics ("-d") and the films
// folder set-up ("-s").
#include "CP_Exception.h"
#include "CP_Win.h"

#include <exception>
#include <string>

enum class GH_StartMode { kNormal, kDiagnostics, kFilmsFolder };

// Compared as a whole and case-sensitively; anything else starts normally.
GH_StartMode ChooseStartMode(const std::string& commandLine);

// Runs the chosen start under the one guard that every start shares: what
// a start lets out is reported and the start ends. Answers the process's
// exit code, 0 on every path.
int RunStart(GH_StartMode mode, HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand);

// Each answers the process's exit code, 0 on every path.
int RunNormalStart(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand);
int RunDiagnosticsStart(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand);
int RunFilmsFolderStart();

// Brings a window of another instance to the front, restored.
void BringToFront(HWND window);

// The box that tells of a failure that is no framework exception.
void ReportStartFailure(const std::string& text);

// Runs a start's work; whatever it throws is reported and goes no further,
// so every start ends with its own clean-up.
template <typename Work>
bool RunReportingFailure(Work&& work) {
  try {
    work();
    return true;
  } catch (const CP_BaseException& failure) {
    failure.Report();
  } catch (const std::exception& failure) {
    ReportStartFailure(std::string("The program stopped: ") + failure.what());
  } catch (...) {
    ReportStartFailure("The program stopped after an unknown failure.");
  }
  return false;
}
