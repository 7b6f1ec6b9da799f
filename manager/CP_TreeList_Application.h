#pragma once
// The library manager's application object. Before any window exists it
// settles the CD drive, opens the CD database, sets up the films folder on
// the first start, loads the items, takes in newly copied films and
// registers the CD in the drive; the framework's start-up then makes the
// one document with the main window. It carries the menu commands that are
// not the document's: the CD drive, help, web pages and the about box.
#include "CP_DocApplication.h"

#include <cstdint>
#include <string>

class CP_SDIApp_Document;

class CP_TreeList_Application : public CP_DocApplication {
 public:
  // Menu commands of the library manager.
  enum : int32_t {
    kCmdAddCD = 2000,
    kCmdHelpContents = 2001,
    kCmdOnlineSupport = 2002,
    kCmdHomePage = 2003,
    kCmdPlaySelected = 2004,
    kCmdEditCD = 2005,
    kCmdWebFirst = 2500,
    kCmdWebLast = 2504,
  };

  CP_TreeList_Application();
  // Closes and frees the CD database.
  ~CP_TreeList_Application() override;

  int32_t ExecuteCommand(int32_t command) override;
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override;
  CP_Document* MakeNewDocument() override;
  CP_Document* ChooseDocumentToOpen() override { return nullptr; }
  void OpenDocumentFile(const CP_FileSpec&) override {}

  // Every GH_ConfigDB row not marked deleted into the item list.
  static void ReloadItemList();
  // Writes AutoResize "0" and the largest offered size that fits the screen.
  static void ChooseInitialScreenSize();
  // The size text for a screen of this height; empty below 480.
  static std::string ScreenSizeForHeight(int32_t height);

  CP_SDIApp_Document* GetLibraryDocument() const { return document; }

 private:
  void SettleCDDrive();
  void SetUpOnFirstStart();

  CP_SDIApp_Document* document = nullptr;
};
