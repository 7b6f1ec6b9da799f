#include "CP_Application.h"
#include "CP_MenuBar.h"
#include "CP_UndoManager.h"
#include "FrameworkFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Records what is done to it, and its deletion.
class LoggedCommand : public CP_UndoableCommand {
 public:
  enum class Fails { Never, OnDo, OnUndo };

  LoggedCommand(Log& log, int number, Fails fails = Fails::Never)
      : CP_UndoableCommand("Cmd " + std::to_string(number)),
        fLog(log),
        fNumber(std::to_string(number)),
        fFails(fails) {}
  ~LoggedCommand() override { fLog.push_back("delete " + fNumber); }

  bool DoIt() override {
    fLog.push_back("do " + fNumber);
    if (fFails == Fails::OnDo) throw std::runtime_error("cannot do");
    SetDone(true);
    return true;
  }
  bool UndoIt() override {
    fLog.push_back("undo " + fNumber);
    if (fFails == Fails::OnUndo) throw std::runtime_error("cannot undo");
    SetDone(false);
    return true;
  }
  void RedoIt() override { fLog.push_back("finish " + fNumber); }

 private:
  Log& fLog;
  std::string fNumber;
  Fails fFails;
};

struct Step {
  char action;  // 'a' accept a new command, 'A' accept the last one again, 'u' undo, 'r' redo
  LoggedCommand::Fails fails;
};

TEST(UndoManagerTest, HistoryTable) {
  const auto ok = LoggedCommand::Fails::Never;
  struct Case {
    const char* name;
    std::vector<Step> steps;
    Log want;
    size_t undoCount, redoCount;
    const char* undoName;
    const char* redoName;
  };
  const Case cases[] = {
      {"accept performs at once", {{'a', ok}}, {"do 1"}, 1, 0, "Cmd 1", ""},
      {"undo then redo performs Do again",
       {{'a', ok}, {'u', ok}, {'r', ok}},
       {"do 1", "undo 1", "do 1"},
       1,
       0,
       "Cmd 1",
       ""},
      {"undone commands stay redoable behind a new one",
       {{'a', ok}, {'a', ok}, {'a', ok}, {'u', ok}, {'u', ok}, {'a', ok}, {'r', ok}, {'r', ok}},
       {"do 1", "do 2", "do 3", "undo 3", "undo 2", "do 4", "do 2", "do 3"},
       4,
       0,
       "Cmd 3",
       ""},
      {"a new command leaves the redo list",
       {{'a', ok}, {'a', ok}, {'u', ok}, {'a', ok}},
       {"do 1", "do 2", "undo 2", "do 3"},
       2,
       1,
       "Cmd 3",
       "Cmd 2"},
      {"posted twice is accepted once", {{'a', ok}, {'A', ok}}, {"do 1"}, 1, 0, "Cmd 1", ""},
      {"posted again while undone changes nothing",
       {{'a', ok}, {'u', ok}, {'A', ok}},
       {"do 1", "undo 1"},
       0,
       1,
       "",
       "Cmd 1"},
      {"a throwing Do is deleted",
       {{'a', ok}, {'a', LoggedCommand::Fails::OnDo}},
       {"do 1", "do 2", "delete 2"},
       1,
       0,
       "Cmd 1",
       ""},
      {"a throwing Undo is deleted",
       {{'a', ok}, {'a', LoggedCommand::Fails::OnUndo}, {'u', ok}},
       {"do 1", "do 2", "undo 2", "delete 2"},
       1,
       0,
       "Cmd 1",
       ""},
      {"undo and redo of empty lists do nothing", {{'u', ok}, {'r', ok}}, {}, 0, 0, "", ""},
  };
  for (const Case& c : cases) {
    Log log;
    {
      CP_UndoManager manager;
      int next = 0;
      LoggedCommand* last = nullptr;
      for (const Step& step : c.steps) {
        if (step.action == 'a') manager.AcceptCommand(last = new LoggedCommand(log, ++next, step.fails));
        if (step.action == 'A') manager.AcceptCommand(last);
        if (step.action == 'u') manager.Undo();
        if (step.action == 'r') manager.Redo();
      }
      EXPECT_EQ(c.want, log) << c.name;
      EXPECT_EQ(c.undoCount, manager.CountUndo()) << c.name;
      EXPECT_EQ(c.redoCount, manager.CountRedo()) << c.name;
      EXPECT_EQ(c.undoCount > 0, manager.CanUndo()) << c.name;
      EXPECT_EQ(c.redoCount > 0, manager.CanRedo()) << c.name;
      EXPECT_EQ(c.undoName, manager.GetUndoName()) << c.name;
      EXPECT_EQ(c.redoName, manager.GetRedoName()) << c.name;
      log.clear();
    }
    // Every command still held is deleted once with the manager.
    size_t deleted = 0;
    for (const std::string& entry : log) deleted += entry.rfind("delete", 0) == 0;
    EXPECT_EQ(c.undoCount + c.redoCount, deleted) << c.name;
  }
}

TEST(UndoManagerTest, DepthLimitDeletesTheOldest) {
  Log log;
  CP_UndoManager manager;
  EXPECT_EQ(16, manager.GetMaximumDepth());
  for (int i = 1; i <= 17; ++i) manager.AcceptCommand(new LoggedCommand(log, i));
  EXPECT_EQ(16u, manager.CountUndo());
  EXPECT_EQ("delete 1", log.back());
  for (int i = 0; i < 16; ++i) manager.Undo();
  EXPECT_EQ("undo 2", log.back());
  EXPECT_FALSE(manager.CanUndo());
}

TEST(UndoManagerTest, ClearDeletesRedoThenUndoNewestFirst) {
  Log log;
  {
    CP_UndoManager manager;
    for (int i = 1; i <= 4; ++i) manager.AcceptCommand(new LoggedCommand(log, i));
    manager.Undo();
    manager.Undo();
    log.clear();
  }
  EXPECT_EQ((Log{"delete 3", "delete 4", "delete 2", "delete 1"}), log);
}

TEST(UndoableCommandTest, BaseOperationsAndOtherNames) {
  Log log;
  LoggedCommand command(log, 1);
  EXPECT_FALSE(command.IsDone());
  EXPECT_TRUE(command.QueryFlagA());
  EXPECT_TRUE(command.CanUndo());
  command.SetFlagA(false);
  EXPECT_FALSE(command.QueryFlagA());
  EXPECT_FALSE(command.QueryFlagB());  // answers flag A
  EXPECT_FALSE(command.CanRedo());
  EXPECT_TRUE(command.GetFlagB());
  EXPECT_TRUE(command.Do());
  EXPECT_TRUE(command.IsDone());
  command.Redo();
  command.Finish();
  EXPECT_TRUE(command.Undo());
  EXPECT_EQ((Log{"do 1", "finish 1", "finish 1", "undo 1"}), log);

  CP_UndoableCommand plain("Typing");
  EXPECT_EQ("Typing", plain.GetName());
  EXPECT_FALSE(plain.Do());
  EXPECT_FALSE(plain.Undo());
}

class PlainCommand : public CP_Command {
 public:
  explicit PlainCommand(int& count) : fCount(count) {}
  bool Do() override {
    ++fCount;
    return true;
  }

 private:
  int& fCount;
};

// The manager attached to a commander takes the command objects posted to it
// and the Undo and Redo menu commands.
TEST(UndoManagerTest, WorksThroughItsCommander) {
  Log log;
  CP_M_Commander commander(nullptr);
  auto* manager = new CP_UndoManager;
  commander.AttachEventHandler(manager);
  commander.PostCommand(new LoggedCommand(log, 1));
  commander.PostCommand(new LoggedCommand(log, 2));
  EXPECT_EQ(1, commander.ExecuteCommand(kCmd_Undo));
  EXPECT_EQ(1, commander.ExecuteCommand(kCmd_Undo));
  EXPECT_EQ(1, commander.ExecuteCommand(kCmd_Redo));
  EXPECT_EQ(kCmd_NotHandled, commander.ExecuteCommand(1000));
  EXPECT_EQ((Log{"do 1", "do 2", "undo 2", "undo 1", "do 1"}), log);
  EXPECT_EQ(1u, manager->CountUndo());
  EXPECT_EQ(1u, manager->CountRedo());

  // A command without undo is not the manager's: the commander performs it.
  int plainRuns = 0;
  PlainCommand plain(plainRuns);
  EXPECT_TRUE(manager->HandleEvent(kEventKind_PostedCommand, reinterpret_cast<uintptr_t>(&plain)));
  EXPECT_EQ(1u, manager->CountUndo());
  EXPECT_TRUE(manager->HandleEvent(kEventKind_CommandStatus, 1000));
  EXPECT_TRUE(manager->HandleEvent(CP_FourCC("EVxx"), 10));
}

using UndoMenuTest = FrameworkTest;

struct ItemState {
  std::string text;
  bool enabled;
};

ItemState StateOf(CP_Menu* menu, int32_t command) {
  const int16_t position = menu->FindItemByCommand(command);
  const UINT state = GetMenuState(menu->GetHandle(), UINT(position - 1), MF_BYPOSITION);
  return {menu->GetItemText(position), (state & (MF_GRAYED | MF_DISABLED)) == 0};
}

// The menu is refreshed the way the framework does it: through the target.
TEST_F(UndoMenuTest, ItemsFollowTheHistory) {
  Log log;  // outlives the commands the application's manager deletes
  CP_Application app;
  CreateMenuBar();
  CP_MenuBar::GetMenuBar()->LoadMenus(129);
  CP_Menu* edit = CP_MenuBar::GetMenuBar()->FindMenuByCommand(kCmd_Undo);
  ASSERT_NE(nullptr, edit);
  auto* manager = new CP_UndoManager;
  app.AttachEventHandler(manager);
  CP_M_Commander::ChangeTarget(&app);

  struct Case {
    const char* name;
    std::function<void()> step;
    const char* undoText;
    bool undoEnabled;
    const char* redoText;
    bool redoEnabled;
  };
  const Case cases[] = {
      {"empty history", [] {}, "&Undo\tCtrl+Z", false, "&Redo", false},
      {"after a command",
       [&] {
         auto* command = new LoggedCommand(log, 1);
         app.PostCommand(command);
       },
       "&Undo Cmd 1\tCtrl+Z", true, "&Redo", false},
      {"after undo", [&] { app.ExecuteCommand(kCmd_Undo); }, "&Undo\tCtrl+Z", false,
       "&Redo Cmd 1", true},
      {"own texts",
       [&] {
         manager->SetUndoText("Nothing to undo");
         manager->SetRedoPrefix("Again: ");
       },
       "Nothing to undo\tCtrl+Z", false, "Again: Cmd 1", true},
  };
  for (const Case& c : cases) {
    c.step();
    CP_M_Commander::UpdateMenus();
    const ItemState undo = StateOf(edit, kCmd_Undo);
    const ItemState redo = StateOf(edit, kCmd_Redo);
    EXPECT_EQ(c.undoText, undo.text) << c.name;
    EXPECT_EQ(c.undoEnabled, undo.enabled) << c.name;
    EXPECT_EQ(c.redoText, redo.text) << c.name;
    EXPECT_EQ(c.redoEnabled, redo.enabled) << c.name;
  }
  // Without a menu holding the command, nothing is touched.
  manager->UpdateCommandStatus(kCmd_Undo);
  EXPECT_EQ("Own command", StateOf(edit, 1000).text.substr(1));
}

}  // namespace
