#pragma once
// One node of the library tree: a CD, a location, a folder inside one of
// them, or the wastebasket, standing for one GH_ConfigDB row by its ITEM_ID.
// It adds its folders when expanded and drops them when collapsed, tells the
// document when the user picks it, offers a context menu by the row's kind,
// shows its films in the film list, and takes the film list's selected films
// when they are dropped on it or installed.
#include "CP_Broadcaster.h"
#include "CP_TreeTableItem.h"

#include <cstdint>
#include <string>

class CP_Menu;
class GH_TreeTable;
struct PlaylistEntry;

class GH_TreeDirItem : public CP_TreeTableItem, public CP_M_Broadcaster {
 public:
  // Context-menu commands.
  enum : int32_t {
    kCmdExpand = 3000,
    kCmdCollapse = 3001,
    kCmdDeleteCD = 3002,
    kCmdProperties = 3003,
    kCmdEmptyWastebasket = 3004,
    kCmdEmptyOnExit = 3005,
    kCmdEditLocation = 3006,
  };
  // The data word of the document's Install Selected request.
  static constexpr uint32_t kInstallRequest = 0x4D4D4F56;  // 'MMOV'
  static constexpr uint32_t kTreeItemRecord = 0x54544954;  // 'TTIT'

  // The identifier is the description's user value, the row's ITEM_ID; the
  // library document listens to the item.
  GH_TreeDirItem(GH_TreeTable* tree, const CP_TreeTableItemData& data, int32_t kind);
  ~GH_TreeDirItem() override;

  // True when the item list holds a folder row under this item.
  bool HasChildren() override;
  // Adds the folder rows under this item, afresh at every expansion.
  void ChildrenExpanded() override;
  // The folders go with every collapse.
  void ChildrenCollapsed() override;
  // The tree takes the focus and the document hears of the pick.
  void HandleClick(const CP_Point& point) override;
  // The context menu at a point of the tree.
  void HandleRightClick(const CP_Point& point) override;
  // The item draws no picture of its own: the control shows its image.
  void DrawImage(const CP_Rect&) override {}

  // Tells the document the item was picked (code 11, value 1, ITEM_ID).
  void AnnouncePick();
  // Moves or copies the film list's selected films to this item; a tree
  // item record ('TTIT') is not taken.
  void ReceiveMessage(uint32_t kind, const CP_Point& point);
  // Fills the film list with the films directly under the parent.
  void ShowFolderFilms(int32_t parentId);
  // One context-menu command on the row read for the menu.
  void ExecuteTreeItemCommand(int32_t command, const PlaylistEntry& record);
  // Gives the location a folder chosen by the user and takes its films
  // along; a location without a drive row is left alone. False when the
  // move of a chosen folder stopped part way.
  bool EditLocation(const PlaylistEntry& location);
  // "Delete CD": the CD's rows and actions, and its node.
  void DeleteCD(const PlaylistEntry& cd);
  // The status line names the films folder.
  void ShowFilmsFolderStatus();

  int32_t GetKind() const { return fKind; }
  GH_TreeTable* GetTree() const { return fTree; }
  CP_Menu* GetContextMenu() const { return fContextMenu; }

 private:
  void FillContextMenu(const PlaylistEntry& record);
  // Moves or copies one film of the list to this item.
  void TakeFilm(int32_t filmId, const PlaylistEntry* target, int32_t& sourceNode);

  int32_t fKind;
  GH_TreeTable* fTree;
  CP_Menu* fContextMenu = nullptr;  // counted
};
