#pragma once
// The engine's application object: it settles where the film CD is, makes
// the one document (which builds the windows and starts the first film) and
// otherwise leaves the framework's document application as it is. The
// engine has no menu bar and opens no documents by command.
#include "CP_DocApplication.h"

#include <string>

class GH_Player_Application : public CP_DocApplication {
 public:
  GH_Player_Application();
  ~GH_Player_Application() override;

  int32_t ExecuteCommand(int32_t command) override;
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override;
  void InstallMenuBar() override {}
  CP_Document* MakeNewDocument() override;
  CP_Document* ChooseDocumentToOpen() override { return nullptr; }
  // The main video pane reads the command line itself.
  void OpenDocumentFile(const CP_FileSpec&) override {}

  // The framework's commander part, the parent of the engine's windows.
  CP_M_Commander* GetCommander() { return this; }
};

// The root of the first CD-ROM drive ("D:\"); empty when there is none.
void FindCDDrive(std::string& root);
