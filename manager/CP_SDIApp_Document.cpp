#include "CP_SDIApp_Document.h"

#include "CDDatabase.h"
#include "CD_Splitter_CP.h"
#include "CP_Desktop.h"
#include "CP_FourCC.h"
#include "CP_Framework.h"
#include "CP_ImageList.h"
#include "CP_ImageResource.h"
#include "CP_Menu.h"
#include "CP_MenuBar.h"
#include "CP_PopupMenu.h"
#include "CP_StatusBar.h"
#include "CP_URLHandler.h"
#include "CP_Utilities.h"
#include "CopyFileWithProgress.h"
#include "FilmInstallation.h"
#include "GH_FilmsFolder.h"
#include "GH_MainWindow.h"
#include "GH_ColorPane.h"
#include "GH_DocumentWindow.h"
#include "GH_ImageList.h"
#include "GH_LibraryGlobals.h"
#include "GH_ListView.h"
#include "GH_LocationFilms.h"
#include "GH_PREV_QT_MoviePane.h"
#include "GH_PictureButton.h"
#include "GH_TreeDirItem.h"
#include "GH_TreeTable.h"
#include "GH_Settings.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t kCmdAddCD = 2000;
constexpr int32_t kCmdPlaySelected = 2004;

constexpr int32_t kPaneToolBar = CP_FourCC("TOOL");
constexpr int32_t kPanePlaySelected = CP_FourCC("TMOV");
constexpr int32_t kPanePlayAll = CP_FourCC("PSCR");
constexpr int32_t kPaneInstall = CP_FourCC("INSM");
constexpr int32_t kPaneShuffle = CP_FourCC("TRND");
constexpr int32_t kPaneMute = CP_FourCC("TBOX");
constexpr int32_t kPaneSize = CP_FourCC("SIZE");
constexpr int32_t kPaneStatus = CP_FourCC("STAT");
constexpr int32_t kPanePreview = CP_FourCC("THUM");

// Tree images, numbered from 1 in item descriptions and from 0 in the
// control.
constexpr int16_t kImageCDInDrive = 3;
constexpr int16_t kImageLocation = 4;
constexpr int16_t kImageWastebasket = 5;
constexpr int16_t kImageCDNotInDrive = 6;

const CP_RGBColor kLightGrey(0xC000, 0xC000, 0xC000);
const CP_RGBColor kToolBarGrey(0xBF, 0xBF, 0xBF);

std::string StringSetting(const char* key, const char* fallback) {
  std::string value;
  ReadIniString(kIniSection, key, fallback, value, kIniFile);
  return value;
}

std::string CountLabel(const std::string& name, int32_t count) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, " [ %d Films ]", int(count));
  return name + suffix;
}

CP_PaneInfo Placement(int32_t h, int32_t v, int32_t width, int32_t height, uint8_t left, uint8_t top,
                      uint8_t right, uint8_t bottom) {
  CP_PaneInfo info{CP_Point(int16_t(h), int16_t(v)), CP_Size(int16_t(width), int16_t(height))};
  info.bindings.left = left;
  info.bindings.top = top;
  info.bindings.right = right;
  info.bindings.bottom = bottom;
  return info;
}

// The picture button as the tool bar makes them.
GH_PictureButton* MakeButton(CP_View* toolBar, int32_t h, int32_t width, int16_t firstPicture, int16_t toggle,
                             int32_t identity, CP_M_Listener* listener) {
  auto* button = new GH_PictureButton(toolBar, Placement(h, 2, width, 32, 0, 0, 0, 0), "", firstPicture,
                                      toggle, 1, 4, 0, 1, 1, 0, 0, 1);
  button->SetIdentifier(identity);
  button->AddListener(listener);
  return button;
}

struct PushPictures {
  int16_t base, enabled, hilited, unhilited, pushed;
};

void SetPushPictures(GH_PictureButton* button, const PushPictures& p) {
  button->SetBasePicture(p.base);
  button->SetEnabledPicture(p.enabled);
  button->SetHilitedPicture(p.hilited);
  button->SetUnhilitedPicture(p.unhilited);
  button->SetPushedPicture(p.pushed);
}

struct TogglePictures {
  int16_t on, off, onPushed, offPushed, onHilited, offHilited;
};

void SetTogglePictures(GH_PictureButton* button, const TogglePictures& p) {
  button->SetOnPicture(p.on);
  button->SetOffPicture(p.off);
  button->SetOnPushedPicture(p.onPushed);
  button->SetOffPushedPicture(p.offPushed);
  button->SetOnHilitedPicture(p.onHilited);
  button->SetOffHilitedPicture(p.offHilited);
}

// A film file's path as a length-prefixed name; false when it is too long
// to be carried.
bool MakeFilmSpec(const std::string& path, FSSpec& spec) {
  if (path.size() > 255) return false;
  unsigned char name[256];
  name[0] = uint8_t(path.size());
  std::memcpy(name + 1, path.data(), path.size());
  FSMakeFSSpec(0, 0, name, &spec);
  return true;
}

void AppendBackslash(std::string& path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and destruction

CP_SDIApp_Document::CP_SDIApp_Document(CP_M_Commander* parent) : CP_Document(parent) {
  SetUniqueName("Untitled");
  DocumentHook25(0);
  InstallFilmFromCommandLine();
}

CP_SDIApp_Document::~CP_SDIApp_Document() {
  try {
    if (ReadIniInt(kIniSection, "EmptyWasteBasket", kIniFile) == 1 && cdDatabase)
      cdDatabase->EmptyWastebasket(itemList);
  } catch (...) {
    // Nothing may leave a destructor; what was not emptied stays for next time.
  }
  RECT rect = fClosedRect;
  bool known = fHasClosedRect;
  if (fWindow && fWindow->GetHWND()) known = GetWindowRect(fWindow->GetHWND(), &rect) != 0;
  if (known && rect.left < GetSystemMetrics(SM_CXSCREEN) && rect.top < GetSystemMetrics(SM_CYSCREEN)) {
    WriteIniString(kIniSection, "LastWindowX", std::to_string(rect.left < 0 ? 0 : rect.left).c_str(), kIniFile);
    WriteIniString(kIniSection, "LastWindowY", std::to_string(rect.top < 0 ? 0 : rect.top).c_str(), kIniFile);
  }
  if (currentLibraryDocument == this) currentLibraryDocument = nullptr;
}

// The framework deletes the window before the document: its place is taken
// while it still exists.
bool CP_SDIApp_Document::TryClose() {
  if (fWindow && fWindow->GetHWND()) fHasClosedRect = GetWindowRect(fWindow->GetHWND(), &fClosedRect) != 0;
  return CP_Document::TryClose();
}

bool CP_SDIApp_Document::ApproveChildClose(CP_M_Commander*) {
  return IsModified() ? AskSaveChanges() : true;
}

void CP_SDIApp_Document::SetName(const std::string& name) {
  CP_Document::SetName(name);
  if (fWindow) fWindow->SetTitle(name);
}

// ---------------------------------------------------------------------------
// Commands

int32_t CP_SDIApp_Document::ExecuteCommand(int32_t command) {
  if (command == kCmdPlaySelected) {
    StartEngine(1);
    return 1;
  }
  if (command == kCmdAddCD) {
    AddCD(false);
    return 1;
  }
  return CP_Document::ExecuteCommand(command);
}

void CP_SDIApp_Document::GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  if (command == kCmdPlaySelected) {
    if (bar && FocusedRow() >= 0) bar->EnableCommand(command);
    return;
  }
  if (command == kCmd_Close) {
    if (bar && fWindow) bar->EnableCommand(command);
    return;
  }
  CP_Document::GetCommandStatus(command, menu);
}

int32_t CP_SDIApp_Document::FocusedRow() const {
  if (!filmList || !filmList->GetHWND()) return -1;
  return int32_t(SendMessageA(filmList->GetHWND(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
}

// ---------------------------------------------------------------------------
// The window

void CP_SDIApp_Document::MakeWindows(int32_t) {
  currentLibraryDocument = this;
  const int32_t x = StringToLong(StringSetting("LastWindowX", "0"));
  const int32_t y = StringToLong(StringSetting("LastWindowY", "0"));
  const int32_t width = StringToLong(StringSetting("MainWindow_W", "640"));
  const int32_t height = StringToLong(StringSetting("MainWindow_H", "480"));
  CP_WindowInfo info(CP_PaneInfo(CP_Point(int16_t(x), int16_t(y)), CP_Size(int16_t(width), int16_t(height))),
                     CP_Window::kDocument);
  auto* window = new GH_DocumentWindow(this, this, info, mainWindowTitle);
  fWindow = window;
  if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) desktop->AddWindow(window, window->GetHWND());

  statusBar = new CP_StatusBar(window, Placement(0, height - 40, window->GetFrameWidth(), 40, 1, 1, 1, 1),
                               true, true, true);
  statusBar->SetIdentifier(kPaneStatus);
  statusBar->SetBackgroundColor(kLightGrey, 0);

  BuildToolBar();

  DriveRecord films;
  films.LABEL = filmsFolderAlias;
  if (cdDatabase && !cdDatabase->FindDriveRecord(films)) ShowStatusText(FilmsFolderStatusText(films.PATH));

  const int32_t statusHeight = statusBar->GetPartRect(1).Height();
  mainSplitter = new CD_Splitter_CP(window, Placement(0, 34, width, height - (statusHeight + 34), 1, 1, 1, 1),
                                    CD_Splitter_CP::kStacked);
  mainSplitter->SetIdentifier(CD_Splitter_CP::kMainSplitter);

  const int32_t previewHeight = StringToLong(StringSetting("QTPaneHeight", "240"));
  preview = new GH_PREV_QT_MoviePane(mainSplitter, Placement(0, 0, width, previewHeight, 1, 1, 1, 0), nullptr);
  preview->SetIdentifier(kPanePreview);

  lowerSplitter = new CD_Splitter_CP(mainSplitter, Placement(0, 320, width, height - 320, 1, 1, 1, 1),
                                     CD_Splitter_CP::kSideBySide);
  lowerSplitter->SetIdentifier(CD_Splitter_CP::kBottomSplitter);
  lowerSplitter->SetSize(100);

  CP_TreeTableInfo treeInfo(Placement(0, 0, 275, height - 261, 1, 1, 0, 1), 1, 0, 0, 0);
  tree = new GH_TreeTable(lowerSplitter, treeInfo, itemList, 1, 16, 16, 1, 275);
  tree->SetIdentifier(CD_Splitter_CP::kTree);

  auto* images = new GH_ImageList(20, 16, 16, 1);
  for (uint16_t id : {1000, 1001, 1002, 1003, 1009, 1012}) images->AddBitmapMasked(id, CP_RGBColor::White, 0);
  tree->SetImageList(images);

  filmList = new GH_ListView(lowerSplitter, this, Placement(281, 0, width - 281, height - 261, 1, 1, 1, 1));
  filmList->SetIdentifier(CD_Splitter_CP::kList);
  filmList->AddListener(this);
  filmList->InsertColumn(CP_ListViewColumn("Play", 35, CP_ListViewColumn::kLeft, 0), 1);
  filmList->InsertColumn(CP_ListViewColumn("Movie", 350, CP_ListViewColumn::kLeft, 0), 2);
  filmList->SetViewMode(CP_ListView::kReport);
  SetWindowLongA(filmList->GetHWND(), GWL_STYLE,
                 LONG(WS_CHILD | WS_HSCROLL | WS_VSCROLL | LVS_NOCOLUMNHEADER | LVS_REPORT));
  tree->SetPartnerPane(filmList);

  FillTree();

  HICON icon = LoadIconA(gCP_Instance, MAKEINTRESOURCEA(1014));
  SendMessageA(window->GetHWND(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageA(window->GetHWND(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  window->Show();
  SetForegroundWindow(window->GetHWND());
  mainSplitter->ArrangePanes(true);
  lowerSplitter->ArrangePanes(true);
  RefreshFilmCounts();
  window->TakeFocus(nullptr);
  window->Refresh();
}

void CP_SDIApp_Document::BuildToolBar() {
  auto* window = fWindow;
  toolBar = new GH_ColorPane(window, Placement(0, 0, window->GetFrameWidth(), 36, 1, 1, 1, 0), kToolBarGrey,
                             CP_Region(), window);
  toolBar->SetIdentifier(kPaneToolBar);

  SetPushPictures(MakeButton(toolBar, 0, 110, 3030, 0, kPanePlaySelected, this), {3032, 3030, 3033, 3034, 3031});
  SetPushPictures(MakeButton(toolBar, 111, 83, 3050, 0, kPanePlayAll, this), {3052, 3050, 3053, 3054, 3051});
  SetPushPictures(MakeButton(toolBar, 195, 129, 3060, 0, kPaneInstall, this), {3062, 3060, 3063, 3064, 3061});

  GH_PictureButton* shuffle = MakeButton(toolBar, 325, 109, 3018, 1, kPaneShuffle, this);
  SetTogglePictures(shuffle, {3018, 3020, 3019, 3021, 3022, 3023});
  shuffle->SetToggleState(ReadIniInt(kIniSection, "Randomize", kIniFile) != 0 ? 1 : 0);

  GH_PictureButton* mute = MakeButton(toolBar, 435, 81, 3042, 1, kPaneMute, this);
  mute->SetBasePicture(3042);
  SetTogglePictures(mute, {3040, 3042, 3041, 3043, 3045, 3046});
  mute->SetToggleState(ReadIniInt(kIniSection, "Mute", kIniFile) != 0 ? 1 : 0);

  new CP_ImageResource(toolBar, Placement(521, 2, 75, 32, 0, 0, 0, 0), 3065, CP_ImageResource::kStretchToFrame);

  screenSizeMenu = new CP_Menu();
  screenSizeMenu->CreateEmpty(500, "popup");
  FillScreenSizeMenu();
  screenSizeMenu->PrepareForDisplay();
  screenSizeMenu->CountItems();

  sizePopup = new CP_PopupMenu(toolBar, Placement(600, 8, 100, 20, 0, 0, 0, 0), "poop", screenSizeMenu, 10);
  const std::string stored = StringSetting("ScreenSize", "none");
  SendMessageA(sizePopup->GetHWND(), CB_SELECTSTRING, 0, reinterpret_cast<LPARAM>(stored.c_str()));
  sizePopup->SetIdentifier(kPaneSize);
  sizePopup->AddListener(this);
}

// ---------------------------------------------------------------------------
// Broadcasts

void CP_SDIApp_Document::ReceiveBroadcast(CP_Message& message) {
  switch (message.code) {
    case 0:
      if (message.sender) HandleControlPressed(message);
      break;
    case 11:
      if (message.value == 1) ShowStatusText(NodeStatusText(int32_t(message.data)));
      break;
    case 3:
      if (message.value == 10) HandleFilmSelection(message);
      break;
    default:
      break;
  }
}

void CP_SDIApp_Document::HandleControlPressed(CP_Message& message) {
  auto* pane = static_cast<CP_Pane*>(static_cast<CP_Control*>(message.sender));
  const int32_t identity = pane->GetIdentifier();
  if (identity == kPaneInstall && installBusy == 0) InstallSelected();
  if (identity == kPanePlaySelected) StartEngine(1);
  if (identity == kPanePlayAll) {
    AddCD(true);
    StartEngine(2);
  }
  if (identity == kPaneMute) ToggleMute(dynamic_cast<GH_PictureButton*>(pane));
  if (identity == kPaneShuffle) ToggleRandomize(dynamic_cast<GH_PictureButton*>(pane));
  if (identity == kPaneSize) StoreChosenScreenSize();
}

// The films go to the films folder's node, found by its row: the node at
// the top of a scrolled tree may be any other.
void CP_SDIApp_Document::InstallSelected() {
  installBusy = 1;
  const CP_Point topLeft(int16_t(0), int16_t(0));
  const int32_t filmsId = cdDatabase ? cdDatabase->ItemIdByAliasRoot(filmsFolderAlias) : 0;
  auto* item = tree && cdDatabase ? dynamic_cast<GH_TreeDirItem*>(tree->FindRootItemById(filmsId)) : nullptr;
  if (item && filmList && filmList->CountSelected() > 0) {
    try {
      item->ReceiveMessage(GH_TreeDirItem::kInstallRequest, topLeft);
    } catch (...) {
      installBusy = 0;
      throw;
    }
  }
  installBusy = 0;
}

// ---------------------------------------------------------------------------
// The tree

void CP_SDIApp_Document::FillTree() {
  if (!tree) return;
  const std::string volume = GetVolumeName(cdDriveRoot);
  for (const PlaylistEntry& row : itemList) {
    if (row.PARENT_ID != 0) continue;
    int16_t image = 0;
    if (row.ITEMTYPE == kItemCD) image = row.VOLUMENAME == volume ? kImageCDInDrive : kImageCDNotInDrive;
    if (row.ITEMTYPE == kItemLocation) image = kImageLocation;
    if (image != 0)
      tree->AddItem(new GH_TreeDirItem(
          tree, CP_TreeTableItemData(nullptr, nullptr, row.ITEMTEXT, image, image, row.ITEM_ID), row.PARENTTYPE));
    const LPARAM first = SendMessageA(tree->GetHWND(), TVM_GETNEXTITEM, TVGN_ROOT, 0);
    SendMessageA(tree->GetHWND(), TVM_SELECTITEM, TVGN_CARET, first);
  }
  tree->AddItem(new GH_TreeDirItem(
      tree, CP_TreeTableItemData(nullptr, nullptr, "Wastebasket", kImageWastebasket, kImageWastebasket, kWastebasketId),
      kItemWastebasket));
}

void CP_SDIApp_Document::AddCD(bool silent) { RegisterCDInDrive(silent, true); }

void CP_SDIApp_Document::RegisterCDInDrive(bool silent, bool takeFocus) {
  if (!cdDatabase || !tree) return;
  std::string alias;
  int32_t cdItemId = 0;
  int32_t filmCount = 0;
  const int32_t result = cdDatabase->RegisterCD(alias, cdItemId, filmCount);
  const std::string label = CountLabel(alias, filmCount);
  if (result == 0) {
    cdDatabase->LoadItems(itemList);
    if (CP_TreeTableItem* wastebasket = tree->FindRootItemById(kWastebasketId)) {
      tree->RemoveItem(wastebasket);
      tree->AddItem(new GH_TreeDirItem(
          tree, CP_TreeTableItemData(nullptr, nullptr, label, kImageCDInDrive, kImageCDInDrive, cdItemId), kItemCD));
      tree->AddItem(wastebasket);
      if (takeFocus) SetFocus(tree->GetHWND());
      tree->Refresh();
    }
  }
  if (result == 4 && !silent) MessageBoxA(MainWindowHandle(), ("CD Already registered: " + label).c_str(), "CD AutoRegister", MB_OK);

  HWND control = tree->GetHWND();
  for (int16_t n = 1; n <= tree->CountRootItems(); ++n) {
    CP_TreeTableItem* node = tree->GetRootItem(n);
    if (!node || !node->GetHandle()) continue;
    char text[256] = {};
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = node->GetHandle();
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(control, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    if (item.iImage == kImageCDInDrive - 1 && label != text) {
      item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
      item.iImage = item.iSelectedImage = kImageCDNotInDrive - 1;
      SendMessageA(control, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    } else if (label == text) {
      item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
      item.iImage = item.iSelectedImage = kImageCDInDrive - 1;
      SendMessageA(control, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      SendMessageA(control, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node->GetHandle()));
      if (auto* dirItem = dynamic_cast<GH_TreeDirItem*>(node)) dirItem->ShowFolderFilms(dirItem->GetIdentifier());
    }
  }
}

// A CD that arrives while the user works elsewhere only redraws the tree.
void CP_SDIApp_Document::RegisterInsertedCD() { RegisterCDInDrive(true, false); }

void CP_SDIApp_Document::RefreshFilmCounts() {
  UpdateFilmCount("Wastebasket");
  UpdateFilmCount(filmsFolderAlias);
}

void CP_SDIApp_Document::UpdateFilmCount(const std::string& aliasRoot) {
  if (!cdDatabase || !tree) return;
  const int32_t id = cdDatabase->ItemIdByAliasRoot(aliasRoot);
  CP_TreeTableItem* node = tree->FindRootItemById(id);
  const int32_t count = cdDatabase->CountFilms(id);
  const std::string label = CountLabel(aliasRoot, count);
  if (!node || !node->GetHandle()) return;
  TVITEMA item = {};
  item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = node->GetHandle();
  item.pszText = const_cast<char*>(label.c_str());
  item.iImage = item.iSelectedImage = aliasRoot == "Wastebasket" ? kImageWastebasket - 1 : kImageLocation - 1;
  SendMessageA(tree->GetHWND(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

std::string CP_SDIApp_Document::FilmsFolderStatusText(const std::string& path) {
  return "Glintharbour Films can be found at the following location : \"" + path + "\"";
}

// The wastebasket's node is no row: it says "Wastebasket".
std::string CP_SDIApp_Document::NodeStatusText(int32_t itemId) {
  if (itemId == kWastebasketId) return "Wastebasket";
  if (!cdDatabase) return std::string();
  PlaylistEntry row;
  row.ITEM_ID = itemId;
  if (cdDatabase->FindItem(row)) return std::string();
  DriveRecord drive;
  drive.LABEL = row.AliasRoot;
  const bool driveFound = !cdDatabase->FindDriveRecord(drive);
  switch (row.PARENTTYPE) {
    case kItemCD:
      return "CD : " + row.AliasRoot + " (" + cdDriveRoot + ")";
    case kItemLocation:
      return row.AliasRoot + " can be found at the following location : \"" + (driveFound ? drive.PATH : "") + "\"";
    case kItemWastebasket:
      return "Wastebasket";
    default:
      return std::string();
  }
}

void CP_SDIApp_Document::ShowStatusText(const std::string& text) {
  if (!statusBar) return;
  const int32_t edges[1] = {statusBar->GetWidth()};
  statusBar->SetParts(edges, 1);
  statusBar->SetPartText(text, 1, SBT_NOBORDERS);
}

// ---------------------------------------------------------------------------
// Film selection, buttons and preview

void CP_SDIApp_Document::UpdateFilmButtons() {
  CP_Window* window = FindMainWindow(mainWindowTitle);
  if (!window || !filmList) return;
  auto* play = dynamic_cast<GH_PictureButton*>(window->FindSubPaneById(kPanePlaySelected, true));
  auto* install = dynamic_cast<GH_PictureButton*>(window->FindSubPaneById(kPaneInstall, true));
  int32_t selected = filmList->CountSelected();
  if (selected == 0 && FocusedRow() >= 0) selected = 1;
  auto set = [](GH_PictureButton* button, int16_t picture, bool enabled) {
    if (!button) return;
    button->SetBasePicture(picture);
    if (enabled)
      button->Enable();
    else
      button->Disable();
    button->Redraw();
  };
  set(play, selected == 1 ? 3032 : 3034, selected == 1);
  set(install, selected == 0 ? 3064 : 3062, selected != 0);
}

void CP_SDIApp_Document::EmptyPreview(bool drawFrame) { ::EmptyPreview(preview, drawFrame); }

void CP_SDIApp_Document::HandleFilmSelection(CP_Message& message) {
  UpdateFilmButtons();
  if (tree) tree->CollapseAll();
  const bool several = filmList && SendMessageA(filmList->GetHWND(), LVM_GETSELECTEDCOUNT, 0, 0) > 1;
  if (several || !message.sender || !message.data) {
    EmptyPreview(true);
    return;
  }
  const auto* row = reinterpret_cast<const CP_ListViewItemData*>(uintptr_t(message.data));
  PlaylistEntry* film = nullptr;
  for (PlaylistEntry& entry : itemList)
    if (entry.ITEM_ID == int32_t(row->userValue)) {
      film = &entry;
      break;
    }
  if (!film) return;

  std::string path;
  if (film->PARENTTYPE == kItemCD) {
    AppendBackslash(film->FILEPATH);
    path = cdDriveRoot + film->FILEPATH + film->FileName;
  } else {
    DriveRecord drive;
    drive.LABEL = film->AliasRoot;
    if (!cdDatabase || cdDatabase->FindDriveRecord(drive)) {
      MessageBoxA(nullptr,
                  ("Cannot find root drive " + film->AliasRoot + ". Please make sure drive is configured correctly.")
                      .c_str(),
                  "Glintharbour KX", MB_OK);
      return;
    }
    AppendBackslash(drive.PATH);
    AppendBackslash(film->FILEPATH);
    path = drive.PATH + film->FILEPATH + film->FileName;
  }

  FSSpec spec = {};
  const int32_t answer = MakeFilmSpec(path, spec) && preview ? preview->ShowFilm(spec)
                                                             : int32_t(GH_PREV_QT_MoviePane::kCannotOpen);
  if (answer == GH_PREV_QT_MoviePane::kCannotOpen) {
    MainWindowMessage("Cannot open Movie file \"" + film->ITEMTEXT + "\". Please make sure the CD \"" +
                          film->AliasRoot + "\" is in the drive.",
                      "Glintharbour KX", MB_OK);
  } else if (answer == GH_PREV_QT_MoviePane::kNotShowable) {
    const int choice = MainWindowMessage("Movie file \"" + film->ITEMTEXT +
                                             "\" is not compatbile with this version of the software." +
                                             "\n\rDo you want to upgrade now?",
                                         "Glintharbour KX", MB_YESNO);
    if (choice == IDYES) {
      std::string url;
      ReadIniString(kIniHelpSection, "UpgradeURL", "none", url, kIniFile);
      CP_URLHandler(url).Open();
    }
  }
}

// ---------------------------------------------------------------------------
// The tool bar's toggles

void CP_SDIApp_Document::ToggleMute(GH_PictureButton* button) {
  const int32_t state = button && button->IsToggle() ? button->GetToggleState() : -1;
  if (state == 1) {
    WriteIniString(kIniSection, "Mute", "1", kIniFile);
    if (preview) preview->SetVolume(0);
  } else if (state == 0) {
    const int32_t volume = ReadIniInt(kIniSection, "Volume", kIniFile);
    WriteIniString(kIniSection, "Mute", "0", kIniFile);
    if (preview) preview->SetVolume(volume);
  }
}

// The stored value decides, and the button is brought back in line with it.
void CP_SDIApp_Document::ToggleRandomize(GH_PictureButton* button) {
  const int32_t value = ReadIniInt(kIniSection, "Randomize", kIniFile);
  if (value == 1) {
    WriteIniString(kIniSection, "Randomize", "0", kIniFile);
    if (button) button->SetToggleState(0);
  } else if (value == 0) {
    WriteIniString(kIniSection, "Randomize", "1", kIniFile);
    if (button) button->SetToggleState(1);
  }
}

// ---------------------------------------------------------------------------
// The engine

void CP_SDIApp_Document::StartEngine(int32_t mode) {
  if (preview) {
    preview->StopMovie();
    EmptyPreview(true);
  }
  HWND list = filmList ? filmList->GetHWND() : nullptr;
  int32_t focused = -1;
  if (list) {
    const int32_t selected = int32_t(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (selected >= 0) {
      LVITEMA item = {};
      item.state = LVIS_FOCUSED;
      item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
      SendMessageA(list, LVM_SETITEMSTATE, WPARAM(selected), reinterpret_cast<LPARAM>(&item));
      filmList->Refresh();
    }
    focused = int32_t(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
  }
  std::string engine = StringSetting("Path", "none");
  AppendBackslash(engine);
  engine += "KX3 Engine.exe";
  if (mode == 1 && focused >= 0) {
    const std::string film = LongToString(int32_t(filmList->GetItemData(int16_t(focused + 1)).userValue));
    ShellExecuteA(nullptr, "open", engine.c_str(), film.c_str(), nullptr, SW_SHOWNORMAL);
  } else if (mode == 2) {
    ShellExecuteA(nullptr, "open", engine.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
}

// ---------------------------------------------------------------------------
// After an installation

void CP_SDIApp_Document::RefreshAfterInstall() {
  if (!cdDatabase) return;
  const int32_t id = cdDatabase->ItemIdByAliasRoot(filmsFolderAlias);
  EmptyPreview(true);
  auto* node = tree ? dynamic_cast<GH_TreeDirItem*>(tree->FindRootItemById(id)) : nullptr;
  if (!node) return;
  std::vector<std::string> names;
  InstallNewFilmsCollect(*cdDatabase, names);
  cdDatabase->LoadItems(itemList);
  if (filmList) filmList->DeselectAll();
  RefreshFilmCounts();
  node->ShowFolderFilms(id);
  if (!names.empty()) SelectListRowByText(names.front());
  cdDatabase->ReportWriteFailures();
}

std::string CP_SDIApp_Document::CommandLineCopyFailureText(int32_t result, const std::string& title,
                                                           const std::string& folder, const std::string& fileName) {
  switch (result) {
    case kCopySourceMissing:
      return "Source file for movie not found.";
    case kCopyCancelled:
      return "File copy for movie cancelled by the user";
    case kCopyNoSpace:
      return "Not enough space available on the destination drive for movie: ";
    case kCopyFailed:
      return "An exception occurred while copying movie";
    case kCopyNoFolder:
      return "Copy failed for movie. Check that the directory exists.";
    case kCopyNameTaken:
    case kCopyFolderInTheWay:
    case kCopyNoTemporaryName:
      return GH_NotCopiedText(result, title, folder, fileName);
    default:
      return "Undefined error while copying movie: ";
  }
}

void CP_SDIApp_Document::InstallFilmFromCommandLine() {
  const std::string text = GetCommandLineText();
  if (text.empty() || !cdDatabase) return;
  DriveRecord films;
  films.LABEL = filmsFolderAlias;
  const bool found = !cdDatabase->FindDriveRecord(films);
  C4Table* drives = cdDatabase->DriveTable();
  if (found && drives && C4Count(drives) == 1 && films.PATH.size() <= 1) {
    // A folder that cannot be made is never written over the stored one.
    const std::string folder = SetUpFilmsFolder();
    if (!folder.empty()) {
      films.PATH = folder;
      // A films folder the library cannot record takes no film.
      if (cdDatabase->UpdateDriveRecord(films)) {
        cdDatabase->NoteFailedWrite("GH_DriveDB");
        cdDatabase->ReportWriteFailures();
        return;
      }
    }
  }
  PlaylistEntry film;
  film.ITEM_ID = int32_t(StringToULong(text));
  if (cdDatabase->FindItem(film) || film.ITEMTYPE != kItemFilm) return;

  // A name from the CD's data file that leaves its folder is not copied.
  const bool safe = !film.FileName.empty() && film.FileName.find("..") == std::string::npos;
  int32_t result = -1;
  std::string destination = films.PATH;
  AppendBackslash(destination);
  if (found && films.PATH.size() > 1 && safe) {
    // Another film's file of the same name stays as it is.
    if (IsNameTaken(destination + film.FileName)) {
      MainWindowMessage(GH_NotCopiedText(kCopyNameTaken, film.ITEMTEXT, destination, film.FileName),
                        "Glintharbour International", MB_OK);
      return;
    }
    CopyFileWithProgress copy(CP_FileSpec(cdDriveRoot + film.FileName, false),
                              CP_FileSpec(destination + film.FileName, false));
    result = copy.Copy();
  }
  if (result == kCopyDone)
    RefreshAfterInstall();
  else
    MainWindowMessage(CommandLineCopyFailureText(result, film.ITEMTEXT, destination, film.FileName),
                      "Glintharbour International", MB_OK);
}

void CP_SDIApp_Document::SelectListRowByText(const std::string& text) {
  if (!filmList) return;
  HWND list = filmList->GetHWND();
  const int32_t count = int32_t(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int32_t n = 0; n < count; ++n) {
    const CP_ListViewRow* row = filmList->GetItem(int16_t(n + 1));
    if (!row || row->data.text != text) continue;
    LVITEMA item = {};
    item.state = LVIS_FOCUSED | LVIS_SELECTED;
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(n), reinterpret_cast<LPARAM>(&item));
    SendMessageA(list, LVM_ENSUREVISIBLE, WPARAM(n), TRUE);
    return;
  }
}
