#include "CP_Application.h"
#include "CP_Commander.h"
#include "CP_EventHandler.h"
#include "CP_Menu.h"
#include "CP_MenuBar.h"
#include "FrameworkFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A commander that logs its hooks and knows one command of its own.
class Node : public CP_M_Commander {
 public:
  Node(CP_M_Commander* parent, std::string name, std::vector<std::string>* log = nullptr)
      : CP_M_Commander(parent), fName(std::move(name)), fLog(log) {}
  bool CanBecomeTarget() override { return fCanBeTarget; }
  void BecameTarget() override { Log("became"); }
  void ResignedTarget() override { Log("resigned"); }
  int32_t ExecuteCommand(int32_t command) override {
    if (command == fOwnCommand) return 42;
    return CP_M_Commander::ExecuteCommand(command);
  }
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override {
    if (command == fOwnCommand && CP_MenuBar::GetMenuBar())
      CP_MenuBar::GetMenuBar()->EnableCommand(command);
    else
      CP_M_Commander::GetCommandStatus(command, menu);
  }

  bool fCanBeTarget = true;
  int32_t fOwnCommand = 1000;

 private:
  void Log(const char* what) {
    if (fLog) fLog->push_back(fName + " " + what);
  }
  std::string fName;
  std::vector<std::string>* fLog;
};

// Consumes the commands it is offered.
class Swallow : public CP_EventHandlerAttachment {
 public:
  Swallow() : CP_EventHandlerAttachment(kEventKind_ExecuteCommand) {}
  bool HandleEvent(uint32_t, uintptr_t) override { return false; }
};

using CommanderTest = FrameworkTest;

TEST_F(CommanderTest, TargetSwitchCallsHooksOnce) {
  std::vector<std::string> log;
  CP_Application app;
  Node a(&app, "a", &log), b(&app, "b", &log);

  CP_M_Commander::ChangeTarget(&a);
  CP_M_Commander::ChangeTarget(&a);  // already the target: no hooks
  CP_M_Commander::ChangeTarget(&b);
  b.fCanBeTarget = true;
  a.fCanBeTarget = false;
  CP_M_Commander::ChangeTarget(&a);  // refused: b stays
  CP_M_Commander::ChangeTarget(nullptr);

  EXPECT_EQ((std::vector<std::string>{"a became", "a resigned", "b became"}), log);
  EXPECT_EQ(&b, CP_M_Commander::GetTarget());
  EXPECT_EQ(CP_M_Commander::kIsTarget, b.GetTargetState());
  EXPECT_EQ(CP_M_Commander::kNotTarget, a.GetTargetState());
}

TEST_F(CommanderTest, DestroyedTargetHandsOverToParentOrApplication) {
  CP_Application app;
  Node parent(&app, "parent");
  {
    Node child(&parent, "child");
    CP_M_Commander::ChangeTarget(&child);
  }
  EXPECT_EQ(&parent, CP_M_Commander::GetTarget());
  {
    Node orphan(nullptr, "orphan");
    CP_M_Commander::ChangeTarget(&orphan);
  }
  EXPECT_EQ(static_cast<CP_M_Commander*>(&app), CP_M_Commander::GetTarget());
}

TEST_F(CommanderTest, ExecuteCommandTravelsUpTheChain) {
  CP_Application app;
  Node window(&app, "window");
  Node pane(&window, "pane");
  pane.fOwnCommand = 0;

  EXPECT_EQ(42, pane.ExecuteCommand(1000)) << "handled by the parent";
  EXPECT_EQ(kCmd_NotHandled, pane.ExecuteCommand(4711)) << "nobody up to the application";

  pane.AttachEventHandler(new Swallow);
  EXPECT_EQ(1, pane.ExecuteCommand(4711)) << "an attached handler consumed it";
}

TEST_F(CommanderTest, KeysGoUpAndAreAlwaysTaken) {
  CP_Application app;
  Node pane(&app, "pane");
  CP_Event event;
  EXPECT_TRUE(pane.HandleKey('x', event));
  EXPECT_TRUE(pane.RouteKey(0xCC, event));
}

// A command object that records what became of it.
class Probe : public CP_Command {
 public:
  Probe(bool* ran, bool* deleted, bool fail) : fRan(ran), fDeleted(deleted), fFail(fail) {}
  ~Probe() override { *fDeleted = true; }
  bool Do() override {
    *fRan = true;
    if (fFail) throw std::runtime_error("failed");
    return true;
  }

 private:
  bool* fRan;
  bool* fDeleted;
  bool fFail;
};

TEST_F(CommanderTest, PostedCommandRunsAndAFailingOneIsDeletedSilently) {
  CP_Application app;
  Node node(&app, "node");
  bool ran = false, deleted = false;
  auto* ok = new Probe(&ran, &deleted, false);
  node.PostCommand(ok);
  EXPECT_TRUE(ran);
  EXPECT_FALSE(deleted);
  delete ok;

  ran = deleted = false;
  EXPECT_NO_THROW(node.PostCommand(new Probe(&ran, &deleted, true)));
  EXPECT_TRUE(ran);
  EXPECT_TRUE(deleted);

  EXPECT_NO_THROW(node.PostCommand(nullptr));
}

bool IsEnabled(CP_Menu* menu, int32_t command) {
  const int16_t position = menu->FindItemByCommand(command);
  EXPECT_NE(0, position) << command;
  return !(GetMenuState(menu->GetHandle(), UINT(position - 1), MF_BYPOSITION) & MF_GRAYED);
}

TEST_F(CommanderTest, UpdateMenusEnablesOnlyWhatTheChainKnows) {
  CP_Application app;
  app.CreateMenuBar();
  app.InstallMenuBar();
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  ASSERT_NE(nullptr, bar);
  ASSERT_EQ(3, bar->CountMenus());
  CP_Menu* file = bar->GetMenu(1);
  CP_Menu* test = bar->GetMenu(2);
  CP_Menu* help = bar->GetMenu(3);

  Node node(&app, "node");
  CP_M_Commander::ChangeTarget(&node);  // updates the menus

  EXPECT_TRUE(IsEnabled(file, kCmd_Quit));
  EXPECT_TRUE(IsEnabled(help, kCmd_About));
  EXPECT_TRUE(IsEnabled(test, 1000));
  EXPECT_FALSE(IsEnabled(test, 1001)) << "nobody knows it";
  EXPECT_FALSE(IsEnabled(file, kCmd_New));

  // A target that no longer knows 1000: it goes gray on the next update.
  node.fOwnCommand = 0;
  CP_M_Commander::UpdateMenus();
  EXPECT_FALSE(IsEnabled(test, 1000));
}

// Writes down what it is asked to enable.
class EnableRecorder : public CP_M_MenuEnabler {
 public:
  bool EnableCommand(int32_t command) override {
    enabled.push_back(command);
    return true;
  }
  bool DisableCommand(int32_t) override { return false; }
  void SetCommandText(int32_t, const std::string&) override {}
  std::vector<int32_t> enabled;
};

// Counts the status questions that reach the application's handlers.
class StatusAsked : public CP_EventHandlerAttachment {
 public:
  explicit StatusAsked(int* asked) : CP_EventHandlerAttachment(kEventKind_CommandStatus), fAsked(asked) {}
  bool HandleEvent(uint32_t, uintptr_t) override {
    ++*fAsked;
    return true;
  }

 private:
  int* fAsked;
};

TEST_F(CommanderTest, ApplicationEnablesNothingWithoutAMenuBar) {
  CP_Application app;
  int asked = 0;
  app.AttachEventHandler(new StatusAsked(&asked));
  EnableRecorder menu;
  ASSERT_EQ(nullptr, CP_MenuBar::GetMenuBar());
  for (int32_t command : {int32_t(kCmd_Quit), int32_t(kCmd_About), int32_t(1234)})
    app.GetCommandStatus(command, &menu);
  EXPECT_TRUE(menu.enabled.empty());
  EXPECT_EQ(0, asked) << "the question goes nowhere";

  // With a menu bar the same questions are answered.
  app.CreateMenuBar();
  app.InstallMenuBar();
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  ASSERT_NE(nullptr, bar);
  CP_Menu* file = bar->FindMenuByCommand(kCmd_Quit);
  ASSERT_NE(nullptr, file);
  file->DisableAllItems();
  app.GetCommandStatus(kCmd_Quit, &menu);
  EXPECT_TRUE(IsEnabled(file, kCmd_Quit));
  app.GetCommandStatus(1234, &menu);
  EXPECT_EQ(1, asked);
}

}  // namespace
