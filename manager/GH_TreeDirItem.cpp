#include "GH_TreeDirItem.h"

#include "CDDatabase.h"
#include "CP_Alert.h"
#include "CP_Exception.h"
#include "CP_FourCC.h"
#include "CP_Menu.h"
#include "CP_SDIApp_Document.h"
#include "CP_StatusBar.h"
#include "CP_Window.h"
#include "GH_LibraryGlobals.h"
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

void GH_TreeDirItem::ExecuteTreeItemCommand(int32_t command, const PlaylistEntry& record) {
  switch (command) {
    case kCmdExpand:
      if (fTree) SendMessageA(fTree->GetHWND(), WM_KEYDOWN, VK_RIGHT, 0);
      break;
    case kCmdCollapse:
      if (fTree) SendMessageA(fTree->GetHWND(), WM_KEYDOWN, VK_LEFT, 0);
      break;
    case kCmdDeleteCD:
      if (cdDatabase && !cdDatabase->DeleteCDRecords(record.AliasRoot)) {
        if (fTree) fTree->RemoveItem(this);
      } else {
        ShowAlert("Error DELETING: " + record.AliasRoot, kStopIcon);
      }
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
    default:
      break;  // Properties, Edit Location and anything else
  }
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
  list->DeleteAllRows();
  for (const PlaylistEntry& row : itemList)
    if (row.PARENT_ID == parentId && row.ITEMTYPE == kItemFilm)
      list->AppendRow(CP_ListViewItemData(row.ITEMTEXT, 111, uint32_t(row.ITEM_ID)), GH_ListView::kNoIcon,
                      GH_ListView::kNoIcon);
  list->SetViewMode(CP_ListView::kReport);
}

void GH_TreeDirItem::ReceiveMessage(uint32_t kind, const CP_Point&) {
  if (kind == kTreeItemRecord) return;
  GH_ListView* list = FilmListOf(fTree);
  if (!list || !cdDatabase) return;
  const int32_t target = GetIdentifier();
  const PlaylistEntry* targetRecord = list->FindItemRecord(target);
  // A target that is not a row (the wastebasket) moves films only.
  const std::string targetAlias = targetRecord ? targetRecord->AliasRoot : std::string();

  std::vector<int32_t> rows;
  HWND control = list->GetHWND();
  const int32_t count = int32_t(SendMessageA(control, LVM_GETSELECTEDCOUNT, 0, 0));
  int32_t index = -1;
  for (int32_t n = 0; n < count; ++n) {
    index = int32_t(SendMessageA(control, LVM_GETNEXTITEM, WPARAM(index), LVNI_SELECTED));
    if (index >= 0) rows.push_back(index);
  }

  int32_t sourceNode = 0;
  std::vector<int32_t> filmIds;
  for (int32_t row : rows) filmIds.push_back(int32_t(list->GetRowData(int16_t(row + 1)).userValue));
  for (int32_t filmId : filmIds) {
    for (PlaylistEntry& film : itemList) {
      if (film.ITEM_ID != filmId || film.ITEMTYPE != kItemFilm) continue;
      sourceNode = film.PARENT_ID;
      if (list->IsNameInParent(film.ITEMTEXT, target)) {
        const std::string where = target == kWastebasketId ? " is already in Wastebasket." : " is already Installed.";
        MainWindowMessage(film.ITEMTEXT + where, "Glintharbour KX", MB_OK);
        continue;
      }
      if (film.AliasRoot == targetAlias || target == kWastebasketId) {
        film.PARENT_ID = target;
        if (film.PARENTTYPE != kItemCD) {
          const int32_t shown = list->FindRowByFilmId(film.ITEM_ID);
          if (shown >= 0) list->DeleteRow(int16_t(shown + 1));
        }
        cdDatabase->UpdateItem(film, false);
      }
      // Copying a film into another location is left to the film copy.
    }
  }
  if (C4Table* table = cdDatabase->ConfigTable()) C4Flush(table);
  if (cdDatabase->LoadItems(itemList) != 0)
    MainWindowMessage("Lost Connection with Database", "Glintharbour KX", MB_OK);
  if (fTree)
    if (CP_TreeTableItem* source = fTree->FindRootItemById(sourceNode)) source->Expand();
  ShowFolderFilms(sourceNode);
}
