#pragma once
// The library manager's one document. It builds the main window with its
// tool bar, preview, tree, film list, splitters and status bar, fills the
// tree from the item list, turns the panes' broadcasts into actions, carries
// out Add CD and Play Selected, and at the end keeps the window's place and
// empties the wastebasket when the settings ask for it. It never holds a
// file: the library lives in the CD database.
#include "CP_Broadcaster.h"
#include "CP_Document.h"
#include "CP_Win.h"

#include <cstdint>
#include <string>

class CD_Splitter_CP;
class CP_Menu;
class CP_PopupMenu;
class CP_StatusBar;
class GH_ColorPane;
class GH_ListView;
class GH_PictureButton;
class GH_PREV_QT_MoviePane;
class GH_TreeTable;

class CP_SDIApp_Document : public CP_Document, public CP_M_Listener {
 public:
  // Builds the main window at once.
  explicit CP_SDIApp_Document(CP_M_Commander* parent);
  ~CP_SDIApp_Document() override;

  int32_t ExecuteCommand(int32_t command) override;
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override;
  bool ApproveChildClose(CP_M_Commander* child) override;
  bool IsModified() const override { return fModified; }
  void SetName(const std::string& name) override;
  // Remembers the window's screen rectangle before the window goes.
  bool TryClose() override;
  // The window-building operation; the name is not used.
  void DocumentHook25(int32_t name) override { MakeWindows(name); }
  void ReceiveBroadcast(CP_Message& message) override;

  void MakeWindows(int32_t name);
  void BuildToolBar();
  // Mode 1: the engine on the focused row's film; 2: without a film.
  void StartEngine(int32_t mode);
  void ToggleMute(GH_PictureButton* button);
  void ToggleRandomize(GH_PictureButton* button);
  // Registers the CD in the drive and brings the tree up to date; silent
  // leaves out the message about a CD already registered.
  void AddCD(bool silent);
  void RefreshFilmCounts();
  void UpdateFilmCount(const std::string& aliasRoot);
  void UpdateFilmButtons();
  void RefreshAfterInstall();
  // A film's ITEM_ID on the command line: the film is copied from the CD
  // into the films folder.
  void InstallFilmFromCommandLine();
  // The message for a failed copy of a film named on the command line.
  static std::string CommandLineCopyFailureText(int32_t result, const std::string& title, const std::string& folder,
                                                const std::string& fileName);
  void SelectListRowByText(const std::string& text);
  // A volume arrived while the program runs.
  void RegisterInsertedCD();

  // The film size choice.
  void FillScreenSizeMenu();
  void StoreChosenScreenSize();

  GH_ColorPane* GetToolBar() const { return toolBar; }
  GH_ListView* GetFilmList() const { return filmList; }
  GH_TreeTable* GetTree() const { return tree; }
  CP_Menu* GetScreenSizeMenu() const { return screenSizeMenu; }
  CP_PopupMenu* GetSizePopup() const { return sizePopup; }
  GH_PREV_QT_MoviePane* GetPreview() const { return preview; }
  CD_Splitter_CP* GetMainSplitter() const { return mainSplitter; }
  CD_Splitter_CP* GetLowerSplitter() const { return lowerSplitter; }
  CP_StatusBar* GetStatusBar() const { return statusBar; }

  // The status-bar text of a tree node picked by the user.
  static std::string NodeStatusText(int32_t itemId);
  // The text that names the films folder.
  static std::string FilmsFolderStatusText(const std::string& path);

 private:
  // Add CD's steps; only the user's own Add CD moves the keyboard focus.
  void RegisterCDInDrive(bool silent, bool takeFocus);
  void FillTree();
  void ShowStatusText(const std::string& text);
  void HandleControlPressed(CP_Message& message);
  void HandleFilmSelection(CP_Message& message);
  void InstallSelected();
  // Shows nothing in the preview, which lets go of its film file.
  void EmptyPreview(bool drawFrame);
  // The focused film row of the list, or -1.
  int32_t FocusedRow() const;

  GH_ColorPane* toolBar = nullptr;
  GH_ListView* filmList = nullptr;
  GH_TreeTable* tree = nullptr;
  CP_Menu* screenSizeMenu = nullptr;
  CP_PopupMenu* sizePopup = nullptr;
  GH_PREV_QT_MoviePane* preview = nullptr;
  CD_Splitter_CP* mainSplitter = nullptr;
  CD_Splitter_CP* lowerSplitter = nullptr;
  CP_StatusBar* statusBar = nullptr;
  int32_t installBusy = 0;
  // The window's screen rectangle when it closed.
  RECT fClosedRect = {};
  bool fHasClosedRect = false;
};
