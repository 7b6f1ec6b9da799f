#pragma once
// The history of undoable commands of one commander. The manager is an event
// handler attached to the commander: it takes the command objects posted to
// it, answers the Undo (10) and Redo (16) menu commands and keeps the texts
// and enabling of their menu items.
#include "CP_Commander.h"
#include "CP_EventHandler.h"

#include <cstdint>
#include <list>
#include <string>

// A command whose name appears in the Undo and Redo menu items ("&Undo Cut
// Text"). Each command supplies DoIt and UndoIt.
class CP_UndoableCommand : public CP_Command {
 public:
  explicit CP_UndoableCommand(const std::string& name) : fName(name) {}
  ~CP_UndoableCommand() override = default;

  bool Do() override { return DoIt(); }
  virtual bool Undo() { return UndoIt(); }
  virtual void Redo() { RedoIt(); }
  virtual bool IsDone() const { return fDone; }
  virtual bool QueryFlagA() const { return fFlagA; }
  // Answers flag A as well: no part of the framework reads flag B.
  virtual bool QueryFlagB() const { return fFlagA; }
  virtual bool UndoIt() { return false; }
  virtual bool DoIt() { return false; }
  virtual void RedoIt() {}

  // The names the text commands use for the same operations.
  void Finish() { Redo(); }
  bool CanUndo() const { return QueryFlagA(); }
  bool CanRedo() const { return QueryFlagB(); }

  void SetFlagA(bool value) { fFlagA = value; }
  void SetFlagB(bool value) { fFlagB = value; }
  bool GetFlagB() const { return fFlagB; }
  std::string GetName() const { return fName; }

 protected:
  void SetDone(bool done) { fDone = done; }

 private:
  std::string fName;
  bool fDone = false;
  bool fFlagA = true;
  bool fFlagB = true;
};

class CP_UndoManager : public CP_EventHandlerAttachment {
 public:
  static constexpr int16_t kDefaultDepth = 16;

  CP_UndoManager();
  ~CP_UndoManager() override;
  CP_UndoManager(const CP_UndoManager&) = delete;
  CP_UndoManager& operator=(const CP_UndoManager&) = delete;

  bool HandleEvent(uint32_t kind, uintptr_t data) override;
  // Takes the command over and performs it. A null command, or one the
  // history already holds, changes nothing.
  virtual void AcceptCommand(CP_UndoableCommand* command);
  // Refreshes the texts and enabling of both menu items, whichever of 10 and
  // 16 was asked about.
  virtual void UpdateCommandStatus(int32_t command);
  virtual void SetUndoPrefix(const std::string& text) { fUndoPrefix = text; }
  virtual void SetRedoPrefix(const std::string& text) { fRedoPrefix = text; }
  virtual void SetUndoText(const std::string& text) { fUndoText = text; }
  virtual void SetRedoText(const std::string& text) { fRedoText = text; }
  virtual bool CanUndo() const { return !fUndoList.empty(); }
  virtual bool CanRedo() const { return !fRedoList.empty(); }
  virtual void Undo();
  virtual void Redo();

  std::string GetUndoName() const;
  std::string GetRedoName() const;
  // Deletes the redo list, then the undo list, newest first.
  void Clear();

  size_t CountUndo() const { return fUndoList.size(); }
  size_t CountRedo() const { return fRedoList.size(); }
  int16_t GetMaximumDepth() const { return fMaximumDepth; }

 private:
  bool Holds(const CP_UndoableCommand* command) const;

  int16_t fMaximumDepth = kDefaultDepth;
  std::list<CP_UndoableCommand*> fUndoList;  // newest last
  std::list<CP_UndoableCommand*> fRedoList;  // newest last
  std::string fUndoPrefix = "&Undo ";
  std::string fRedoPrefix = "&Redo ";
  std::string fUndoText = "&Undo";
  std::string fRedoText = "&Redo";
};
