#include "CP_Application.h"

#include "CP_AboutBox.h"
#include "CP_Callback.h"
#include "CP_Clipboard.h"
#include "CP_Desktop.h"
#include "CP_Exception.h"
#include "CP_MenuBar.h"

#include <stdexcept>

CP_Application::CP_Application() : CP_M_Commander(nullptr) { SetDefaultCommander(this); }

CP_Application::~CP_Application() {
  if (GetDefaultCommander() == this) SetDefaultCommander(nullptr);
}

bool CP_Application::GetNextEvent(CP_Event& event) {
  MSG msg = {};
  const BOOL got = ReadMessage(msg);
  if (got == -1) {
    if (++fMessageErrors >= kMessageErrorsToQuit) SetQuitFlag();
    return false;
  }
  fMessageErrors = 0;
  if (got == 0) return false;
  event.SetFromMSG(msg);
  return true;
}

void CP_Application::Run() {
  try {
    RunSteps();
  } catch (const CP_BaseException& failure) {
    failure.Report();
    ReportException(std::runtime_error(failure.GetText()));
  } catch (const std::exception& failure) {
    ReportException(failure);
  } catch (...) {
    ReportException(std::runtime_error("Unknown error"));
  }
  // What failed while the report was showing belongs to the failure just
  // reported; kept, it would surface in a later loop.
  CP_DropPendingException();
}

void CP_Application::RunSteps() {
  ChangeTarget(this);
  Initialize();
  CreateMenuBar();
  InstallMenuBar();
  StartUp();
  UpdateMenus();
  // Failures kept by window procedures during a step surface after it.
  CP_RethrowPendingException();
  while (!fQuit) {
    CP_Event event;
    const bool gotMessage = GetNextEvent(event);
    CP_RethrowPendingException();  // GetMessageA delivers sent messages itself
    if (RunEventHandlers(kEventKind_RunLoop, reinterpret_cast<uintptr_t>(&event))) {
      if (gotMessage) ProcessEvent(event);
      RunIdleTasks(event);
    }
    CP_RethrowPendingException();
  }
}

void CP_Application::GetDefaultWindowBounds(CP_Rect& bounds) {
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  const int32_t width = desktop ? desktop->GetWorkAreaWidth() : 0;
  const int32_t height = desktop ? desktop->GetWorkAreaHeight() : 0;
  bounds.Set(15, 0, width - 30, height - 50);
}

int32_t CP_Application::ExecuteCommand(int32_t command) {
  switch (command) {
    case kCmd_About:
      ShowAboutBox();
      return 0;
    case kCmd_Quit:
      return Quit() ? 1 : 0;
    default:
      return CP_M_Commander::ExecuteCommand(command);
  }
}

int32_t CP_Application::AnswerCommanderQuery(uint32_t, uint32_t) { return -1; }

void CP_Application::GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  if (!bar) return;
  if (command == kCmd_About || command == kCmd_Quit)
    bar->EnableCommand(command);
  else
    CP_M_Commander::GetCommandStatus(command, menu);
}

void CP_Application::ShowAboutBox() {
  CP_AboutBox box;
  box.ShowModal();
}

bool CP_Application::Quit() {
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  if (!desktop || desktop->CloseWindowsOfKind(1)) fQuit = true;
  return fQuit;
}

void CP_Application::CreateMenuBar() {
  ::CreateMenuBar();
  new CP_Clipboard;
}

void CP_Application::InstallMenuBar() {
  if (CP_MenuBar* bar = CP_MenuBar::GetMenuBar()) bar->LoadMenus(128);
}

bool CP_Application::ApproveChildClose(CP_M_Commander*) { return true; }

void CP_Application::ReportException(const std::exception&) {}
