#include "GH_TreeDirItem.h"

#include "CDDatabase.h"
#include "CP_Alert.h"
#include "CP_FourCC.h"
#include "CP_Menu.h"
#include "CP_SDIApp_Document.h"
#include "CP_StatusBar.h"
#include "CP_Window.h"
#include "FilmInstallation.h"
#include "GH_FilmsFolder.h"
#include "GH_LibraryGlobals.h"
#include "GH_LocationFilms.h"
#include "GH_ListView.h"
#include "GH_TreeTable.h"
#include "GH_Settings.h"

#include <commctrl.h>

namespace {

constexpr int16_t kStopIcon = 0x10;
constexpr int16_t kFolderImage = 2;
constexpr int16_t kOpenFolderImage = 1;

GH_ListView* FilmListOf(GH_TreeTable* tree) {
  return tree ? dynamic_cast<GH_ListView*>(tree->GetPartnerPane()) : nullptr;
}

PlaylistEntry* FindFilm(int32_t itemId) {
  for (PlaylistEntry& row : itemList)
    if (row.ITEM_ID == itemId && row.ITEMTYPE == kItemFilm) return &row;
  return nullptr;
}

// Puts the current directory back however the edit ends.
class CurrentDirectoryKeeper {
 public:
  CurrentDirectoryKeeper() {
    char folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    if (length > 0 && length < MAX_PATH) fSaved = folder;
  }
  ~CurrentDirectoryKeeper() {
    if (!fSaved.empty()) SetCurrentDirectoryA(fSaved.c_str());
  }
  CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
  CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

 private:
  std::string fSaved;
};

// Holds a control's drawing off while many rows go in: a redraw per row
// made a large library's list take seconds.
class RedrawPause {
 public:
  explicit RedrawPause(HWND control) : fControl(control) { SendMessageA(fControl, WM_SETREDRAW, FALSE, 0); }
  ~RedrawPause() {
    SendMessageA(fControl, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(fControl, nullptr, TRUE);
  }
  RedrawPause(const RedrawPause&) = delete;
  RedrawPause& operator=(const RedrawPause&) = delete;

 private:
  HWND fControl;
};

}  // namespace

GH_TreeDirItem::GH_TreeDirItem(GH_TreeTable* tree, const CP_TreeTableItemData& data, int32_t kind)
    : CP_TreeTableItem(tree, data), fKind(kind), fTree(tree) {
  SetIdentifier(data.userValue);
  if (currentLibraryDocument) AddListener(currentLibraryDocument);
}

GH_TreeDirItem::~GH_TreeDirItem() {
  if (fContextMenu) fContextMenu->RemoveReference();
}

bool GH_TreeDirItem::HasChildren() {
  for (const PlaylistEntry& row : itemList)
    if (row.PARENT_ID == GetIdentifier() && row.ITEMTYPE == kItemFolder) return true;
  return false;
}

void GH_TreeDirItem::ChildrenExpanded() {
  if (!fTree) return;
  // Copied first: a new item must not see the list change under it.
  const std::vector<PlaylistEntry> rows = itemList;
  for (const PlaylistEntry& row : rows) {
    if (row.PARENT_ID != GetIdentifier() || row.ITEMTYPE != kItemFolder) continue;
    CP_TreeTableItemData data(this, nullptr, row.ITEMTEXT, kFolderImage, kOpenFolderImage, row.ITEM_ID);
    fTree->AddItem(new GH_TreeDirItem(fTree, data, row.PARENTTYPE));
  }
}

void GH_TreeDirItem::ChildrenCollapsed() {
  DeleteChildren();
  Collapse();
}

void GH_TreeDirItem::HandleClick(const CP_Point&) {
  try {
    if (fTree) fTree->TakeFocus(nullptr);
    AnnouncePick();
  } catch (...) {
    // A failed pick leaves the tree as it was.
  }
}

void GH_TreeDirItem::AnnouncePick() {
  CP_Message message(this, 11, 1, uint32_t(GetIdentifier()));
  Broadcast(message);
}

// ---------------------------------------------------------------------------
// The context menu

void GH_TreeDirItem::FillContextMenu(const PlaylistEntry& record) {
  CP_Menu& menu = *fContextMenu;
  auto expandCollapse = [&](bool enabled) {
    menu.AppendItem("E&xpand", kCmdExpand);
    menu.AppendItem("&Collapse", kCmdCollapse);
    if (!enabled) {
      menu.DisableItem(1);
      menu.DisableItem(2);
    }
  };
  switch (record.ITEMTYPE) {
    case kItemCD:
      expandCollapse(HasChildren());
      menu.AppendItem("&Delete CD", kCmdDeleteCD);
      break;
    case kItemLocation:
      expandCollapse(HasChildren());
      menu.AppendItem("&Edit Location", kCmdEditLocation);
      break;
    case kItemFolder:
      expandCollapse(true);
      menu.AppendItem("&Properties", kCmdProperties);
      break;
    case kItemFilm:
      menu.AppendItem("Properties", kCmdProperties);
      break;
    case kItemWastebasket:
      menu.AppendItem("&Empty Wastebasket", kCmdEmptyWastebasket);
      menu.AppendItem("Empty Wastebasket on E&xit", kCmdEmptyOnExit);
      menu.CheckItem(2, 0, ReadIniInt(kIniSection, "EmptyWasteBasket", kIniFile) == 1 ? 1 : 0);
      break;
    default:
      ShowAlert("Don't know what this is!", kStopIcon);
      break;
  }
}

void GH_TreeDirItem::HandleRightClick(const CP_Point& point) {
  if (!fTree) return;
  CP_Window* owner = fTree->GetOwnerWindow();
  CP_Point position = point;
  if (owner) owner->LocalToGlobalPoint(position);
  CP_Window* documentWindow = currentLibraryDocument ? currentLibraryDocument->GetWindow() : nullptr;
  const int32_t windowHeight = documentWindow ? documentWindow->GetHeight() : 0;
  position.v = int16_t(position.v + windowHeight - fTree->GetHeight() - 22);

  if (fContextMenu) fContextMenu->RemoveReference();
  fContextMenu = new CP_Menu(129, "RightClickMenu", 1);
  fContextMenu->RemoveItem(1);

  PlaylistEntry record;
  record.ITEM_ID = GetIdentifier();
  if (!cdDatabase || cdDatabase->FindItem(record)) {
    ShowAlert("Cannot read item: " + std::to_string(GetIdentifier()), kStopIcon);
    return;
  }
  FillContextMenu(record);
  fContextMenu->PrepareForDisplay();
  const int16_t chosen = fContextMenu->TrackPopupForItem(documentWindow, position);
  ExecuteTreeItemCommand(fContextMenu->GetItemCommand(chosen), record);
}

void GH_TreeDirItem::ExecuteTreeItemCommand(int32_t command, const PlaylistEntry& given) {
  // A copy: the record may lie in the item list, which the commands reload.
  const PlaylistEntry record = given;
  switch (command) {
    case kCmdExpand:
      if (fTree) SendMessageA(fTree->GetHWND(), WM_KEYDOWN, VK_RIGHT, 0);
      break;
    case kCmdCollapse:
      if (fTree) SendMessageA(fTree->GetHWND(), WM_KEYDOWN, VK_LEFT, 0);
      break;
    case kCmdDeleteCD:
      DeleteCD(record);
      break;
    case kCmdEmptyWastebasket:
      EmptyPreview(FindPreviewPane(fTree, true), false);
      if (cdDatabase) cdDatabase->EmptyWastebasket(itemList);
      ShowFolderFilms(kWastebasketId);
      break;
    case kCmdEmptyOnExit:
      if (ReadIniInt(kIniSection, "EmptyWasteBasket", kIniFile) == 1) {
        if (fContextMenu) fContextMenu->CheckItem(2, 0, 0);
        WriteIniString(kIniSection, "EmptyWasteBasket", "0", kIniFile);
      } else {
        if (fContextMenu) fContextMenu->CheckItem(2, 0, 1);
        WriteIniString(kIniSection, "EmptyWasteBasket", "1", kIniFile);
      }
      break;
    case kCmdEditLocation: {
      const bool finished = EditLocation(record);
      // Whatever the edit did, the library is read afresh from the folders;
      // but a move that stopped may have left films where the library does
      // not look for them, and they are not forgotten for that.
      if (cdDatabase) {
        InstallNewFilms(*cdDatabase);
        // The list is read again just below, whatever was forgotten.
        if (finished) (void)cdDatabase->RemoveMissingInstalledFilms();
        cdDatabase->LoadItems(itemList);
      }
      ShowFolderFilms(record.ITEM_ID);
      ShowFilmsFolderStatus();
      if (cdDatabase) cdDatabase->ReportWriteFailures();
      break;
    }
    default:
      break;  // Properties and anything else
  }
}

// The node leaves the tree with the CD's own row. A deletion stopped by a
// row that could not be written may have taken some rows: the list is read
// again, and the node goes only when its row went.
void GH_TreeDirItem::DeleteCD(const PlaylistEntry& cd) {
  bool gone = cdDatabase && !cdDatabase->DeleteCDRecords(cd.AliasRoot);
  if (!gone && cdDatabase) {
    cdDatabase->LoadItems(itemList);
    gone = std::none_of(itemList.begin(), itemList.end(),
                        [&](const PlaylistEntry& row) { return row.ITEM_ID == cd.ITEM_ID; });
  }
  if (gone && fTree) fTree->RemoveItem(this);
  const bool told = cdDatabase && cdDatabase->ReportWriteFailures();
  if (!gone && !told) ShowAlert("Error DELETING: " + cd.AliasRoot, kStopIcon);
}

bool GH_TreeDirItem::EditLocation(const PlaylistEntry& location) {
  if (fTree && fTree->GetOwnerWindow()) EmptyPreview(FindPreviewPane(fTree), false);
  CurrentDirectoryKeeper keeper;
  DriveRecord drive;
  drive.LABEL = location.AliasRoot;
  if (!cdDatabase || cdDatabase->FindDriveRecord(drive)) return true;
  // The chooser opens at the location's folder.
  SetCurrentDirectoryA(drive.PATH.c_str());
  std::string chosen;
  if (!ChooseFolderForMainWindow("Choose a Directory to store your Glintharbour Movies.", chosen)) return true;
  std::string whyNot;
  const int32_t result = MoveLocationFilms(location.ITEM_ID, drive, chosen, whyNot);
  if (result == kMoveNoSpace) {
    MessageBoxA(nullptr, "Not enough disk space available for the operation.\r\n\r\nSorry!", "Glintharbour KX3",
                MB_OK);
  } else if (result != kMoveDone) {
    MessageBoxA(nullptr, whyNot.c_str(), "Glintharbour KX3", MB_OK);
  }
  return result == kMoveDone;
}

void GH_TreeDirItem::ShowFilmsFolderStatus() {
  CP_Window* window = fTree ? fTree->GetOwnerWindow() : nullptr;
  auto* status = window ? dynamic_cast<CP_StatusBar*>(window->FindSubPaneById(CP_FourCC("STAT"), true)) : nullptr;
  if (!status || !cdDatabase) return;
  DriveRecord films;
  films.LABEL = filmsFolderAlias;
  if (cdDatabase->FindDriveRecord(films)) return;
  status->SetPartText(CP_SDIApp_Document::FilmsFolderStatusText(films.PATH), 1, SBT_NOBORDERS);
}

// ---------------------------------------------------------------------------
// Films

void GH_TreeDirItem::ShowFolderFilms(int32_t parentId) {
  if (!fTree) return;
  SendMessageA(fTree->GetHWND(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
  EmptyPreview(FindPreviewPane(fTree), true);
  if (currentLibraryDocument) currentLibraryDocument->RefreshFilmCounts();
  GH_ListView* list = FilmListOf(fTree);
  if (!list) return;
  {
    RedrawPause pause(list->GetHWND());
    list->DeleteAllRows();
    for (const PlaylistEntry& row : itemList)
      if (row.PARENT_ID == parentId && row.ITEMTYPE == kItemFilm)
        list->AppendRow(CP_ListViewItemData(row.ITEMTEXT, 111, uint32_t(row.ITEM_ID)), GH_ListView::kNoIcon,
                        GH_ListView::kNoIcon);
  }
  list->SetViewMode(CP_ListView::kReport);
}

void GH_TreeDirItem::ReceiveMessage(uint32_t kind, const CP_Point&) {
  if (kind == kTreeItemRecord) return;
  GH_ListView* list = FilmListOf(fTree);
  if (!list || !cdDatabase) return;
  // A copy: boxes and film copies below run other code that may reload the
  // item list. A target that is not a row (the wastebasket) moves films only.
  PlaylistEntry targetRecord;
  const PlaylistEntry* found = list->FindItemRecord(GetIdentifier());
  if (found) targetRecord = *found;

  HWND control = list->GetHWND();
  const int32_t count = int32_t(SendMessageA(control, LVM_GETSELECTEDCOUNT, 0, 0));
  std::vector<int32_t> filmIds;
  int32_t index = -1;
  for (int32_t n = 0; n < count; ++n) {
    index = int32_t(SendMessageA(control, LVM_GETNEXTITEM, WPARAM(index), LVNI_SELECTED));
    if (index >= 0) filmIds.push_back(int32_t(list->GetRowData(int16_t(index + 1)).userValue));
  }

  int32_t sourceNode = 0;
  for (int32_t filmId : filmIds) TakeFilm(filmId, found ? &targetRecord : nullptr, sourceNode);
  if (!cdDatabase) return;
  // A row that could not be written is noted; the list read again just
  // below shows what the table holds.
  (void)cdDatabase->FlushItems();
  if (cdDatabase->LoadItems(itemList) != 0)
    MainWindowMessage("Lost Connection with Database", "Glintharbour KX", MB_OK);
  if (fTree)
    if (CP_TreeTableItem* source = fTree->FindRootItemById(sourceNode)) source->Expand();
  ShowFolderFilms(sourceNode);
  if (cdDatabase) cdDatabase->ReportWriteFailures();
}

// Each film is looked up afresh by its id: a box or a copy before it may
// have reloaded the item list.
void GH_TreeDirItem::TakeFilm(int32_t filmId, const PlaylistEntry* target, int32_t& sourceNode) {
  GH_ListView* list = FilmListOf(fTree);
  PlaylistEntry* live = FindFilm(filmId);
  if (!list || !live) return;
  PlaylistEntry film = *live;
  const int32_t targetId = GetIdentifier();
  sourceNode = film.PARENT_ID;
  if (list->IsNameInParent(film.ITEMTEXT, targetId)) {
    const std::string where = targetId == kWastebasketId ? " is already in Wastebasket." : " is already Installed.";
    MainWindowMessage(film.ITEMTEXT + where, "Glintharbour KX", MB_OK);
    return;
  }
  if (targetId == kWastebasketId || (target && film.AliasRoot == target->AliasRoot)) {
    film.PARENT_ID = targetId;
    // A film whose row is gone stays as it is; the row's write is checked
    // with the drop's flush, which reads the list again.
    if (cdDatabase->UpdateItem(film, false)) return;
    // Kept in memory too, so that a later film of the same title is found.
    live->PARENT_ID = targetId;
    if (film.PARENTTYPE != kItemCD) {
      const int32_t shown = list->FindRowByFilmId(film.ITEM_ID);
      if (shown >= 0) list->DeleteRow(int16_t(shown + 1));
    }
  } else if (target) {
    CopyFilmToItem(film, *target);
  }
}
