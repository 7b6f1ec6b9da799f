#pragma once
// Commanders carry menu commands, keys and command objects up a chain that
// ends at the application. One commander at a time is the target.
#include "CP_EventHandler.h"

#include <cstdint>

class CP_Event;
class CP_Menu;
class CP_M_MenuEnabler;

// Framework command numbers; programs number their own commands above these.
enum : int32_t {
  kCmd_New = 1,
  kCmd_Open = 2,
  kCmd_Close = 3,
  kCmd_Save = 4,
  kCmd_SaveAs = 5,
  kCmd_Revert = 6,
  kCmd_PageSetup = 7,
  kCmd_Print = 8,
  kCmd_Quit = 9,
  kCmd_Undo = 10,
  kCmd_Redo = 16,
  kCmd_About = 18,
};

constexpr int32_t kCmd_NotHandled = -1;

class CP_Command {
 public:
  virtual ~CP_Command() = default;
  virtual bool Do() { return false; }
};

class CP_M_Commander : public virtual CP_M_EventHandlerAttachable {
 public:
  enum TargetState : uint8_t { kIsTarget = 0, kNotTarget = 2 };

  explicit CP_M_Commander(CP_M_Commander* parent);
  ~CP_M_Commander() override;

  virtual void PostCommand(CP_Command* command);
  virtual bool CanBecomeTarget();
  virtual int32_t ExecuteCommand(int32_t command);
  virtual int32_t AnswerCommanderQuery(uint32_t a, uint32_t b);
  virtual void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu);
  virtual bool RouteKey(int16_t key, CP_Event& event);
  virtual bool QueryKeyFlag(uint32_t a, uint32_t b);
  virtual bool ApproveChildClose(CP_M_Commander* child);
  virtual bool HandleKey(int16_t key, CP_Event& event);
  virtual void BecameTarget() {}
  virtual void ResignedTarget() {}

  CP_M_Commander* GetParentCommander() const { return fParent; }
  void SetParentCommander(CP_M_Commander* parent) { fParent = parent; }
  TargetState GetTargetState() const { return fTargetState; }

  static CP_M_Commander* GetTarget();
  static CP_M_Commander* GetDefaultCommander();
  static void SetDefaultCommander(CP_M_Commander* commander);

  static void ChangeTarget(CP_M_Commander* newTarget);
  static void TakeTarget(CP_M_Commander* commander);
  static void ResignTarget(CP_M_Commander* commander);

  // Disables every menu item, then lets the target chain enable its own.
  static void UpdateMenus();
  static void UpdateMenu(CP_Menu* menu);
  // UpdateMenus when there is a target.
  static void UpdateMenusForTarget();

 private:
  CP_M_Commander* fParent;
  TargetState fTargetState = kNotTarget;
};
