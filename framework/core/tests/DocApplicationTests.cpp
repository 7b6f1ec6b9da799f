#include "CP_Alert.h"
#include "CP_DocApplication.h"
#include "CP_Document.h"
#include "CP_FileSystem.h"
#include "CP_Framework.h"
#include "CP_MenuBar.h"
#include "DocumentTestSupport.h"
#include "FileTestSupport.h"
#include "FrameworkFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kxtest::DialogWatcher;
using kxtest::LongPathOf;
using kxtest::ShortPathOf;
using kxtest::TempFolder;
using kxtest::TestDocument;
using Window = TestDocument::Window;

class TestDocApp : public CP_DocApplication {
 public:
  CP_Document* MakeNewDocument() override {
    ++made;
    return new TestDocument(this, Window::Yes);
  }
  CP_Document* ChooseDocumentToOpen() override {
    ++chosen;
    return chooseSomething ? new TestDocument(this, Window::No) : nullptr;
  }
  void OpenDocumentFile(const CP_FileSpec& spec) override {
    opened.push_back(spec.Path());
    EXPECT_FALSE(spec.IsDirectory());
  }

  int made = 0;
  int chosen = 0;
  bool chooseSomething = true;
  std::vector<std::string> opened;
};


using DocApplicationTest = FrameworkTest;

// Every path but the last is opened as written unless it is an unquoted
// short form; the last is opened only when it exists.
TEST_F(DocApplicationTest, CommandLineFilesTable) {
  TempFolder temp;
  const std::string f = LongPathOf(temp.Path());
  for (const char* name : {"My Film.flm", "a.flm", "b.flm", "Long Name File.flm"})
    ASSERT_TRUE(kxtest::WriteWholeFile(f + "\\" + name, "x"));
  const std::string film = f + "\\My Film.flm";
  const std::string a = f + "\\a.flm";
  const std::string b = f + "\\b.flm";
  const std::string longName = f + "\\Long Name File.flm";
  const std::string shortName = ShortPathOf(longName);
  ASSERT_NE(std::string::npos, shortName.find('~'));
  const std::string overlong = f + "\\" + std::string(300, 'x');

  struct Case {
    const char* name;
    std::string line;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {"empty", "", {}},
      {"quoted with a space", "\"" + film + "\"", {film}},
      {"quoted, then a space", "\"" + film + "\" ", {film}},
      {"two unquoted", a + " " + b, {a, b}},
      {"two spaces between", a + "  " + b, {a, b}},
      {"a missing last path is skipped", a + " " + f + "\\missing.flm", {a}},
      {"a missing first path is opened as written", f + "\\missing.flm " + a,
       {f + "\\missing.flm", a}},
      {"tilde: the long name", shortName + " " + a, {longName, a}},
      {"tilde in quotes: as written", "\"" + shortName + "\" " + a, {shortName, a}},
      {"tilde that names nothing is skipped", f + "\\NOPE~1.FLM " + a, {a}},
      {"unclosed quote at the end", "\"" + film, {film}},
      {"overlong quoted", "\"" + overlong + "\" " + a, {overlong, a}},
      {"overlong at the end", a + " " + overlong, {a}},
  };
  for (const Case& c : cases) {
    TestDocApp app;
    gCP_CommandLine = c.line.c_str();
    EXPECT_STREQ(c.line.c_str(), GetCommandLineText());
    app.StartUp();
    EXPECT_EQ(c.want, app.opened) << c.name;
  }
  gCP_CommandLine = "";
}

TEST_F(DocApplicationTest, NewAndOpenOnlyWithoutADocument) {
  TestDocApp app;
  EXPECT_EQ(0, app.ExecuteCommand(kCmd_New));
  EXPECT_EQ(1, app.made);
  ASSERT_NE(nullptr, app.GetDocument());
  EXPECT_EQ(0, app.ExecuteCommand(kCmd_New));
  EXPECT_EQ(0, app.ExecuteCommand(kCmd_Open));
  EXPECT_EQ(1, app.made);
  EXPECT_EQ(0, app.chosen);

  // Closing the document clears both pointers.
  EXPECT_TRUE(app.GetDocument()->TryClose());
  EXPECT_EQ(nullptr, app.GetDocument());
  app.chooseSomething = false;
  EXPECT_EQ(0, app.ExecuteCommand(kCmd_Open));
  EXPECT_EQ(1, app.chosen);
  EXPECT_EQ(nullptr, app.GetDocument());  // cancelled: still none
  app.chooseSomething = true;
  app.ExecuteCommand(kCmd_Open);
  EXPECT_EQ(2, app.chosen);
  ASSERT_NE(nullptr, app.GetDocument());
  EXPECT_TRUE(CP_Document::CloseAllDocuments());
  EXPECT_EQ(nullptr, app.GetDocument());
  EXPECT_EQ(kCmd_NotHandled, app.ExecuteCommand(1000));
}

bool IsEnabled(int32_t command) {
  CP_Menu* menu = CP_MenuBar::GetMenuBar()->FindMenuByCommand(command);
  const UINT state =
      GetMenuState(menu->GetHandle(), UINT(menu->FindItemByCommand(command) - 1), MF_BYPOSITION);
  return (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

TEST_F(DocApplicationTest, NewIsEnabledOnlyWithoutADocument) {
  TestDocApp app;
  CreateMenuBar();
  CP_MenuBar::GetMenuBar()->LoadMenus(130);
  CP_M_Commander::ChangeTarget(&app);
  CP_M_Commander::UpdateMenus();
  EXPECT_TRUE(IsEnabled(kCmd_New));
  EXPECT_TRUE(IsEnabled(kCmd_Open));
  EXPECT_TRUE(IsEnabled(kCmd_Quit));
  app.ExecuteCommand(kCmd_New);  // the document becomes the target
  CP_M_Commander::UpdateMenus();
  EXPECT_FALSE(IsEnabled(kCmd_New));
  EXPECT_TRUE(IsEnabled(kCmd_Open));
  EXPECT_TRUE(IsEnabled(kCmd_Quit));
  EXPECT_TRUE(CP_Document::CloseAllDocuments());
}

// A document that refuses to close keeps the program running, and the
// answer is true all the same; only the quit flag says the program ends.
TEST_F(DocApplicationTest, QuitWaitsForTheDocuments) {
  TestDocApp app;
  app.ExecuteCommand(kCmd_New);
  app.GetDocument()->SetModified(true);
  {
    DialogWatcher cancel(GetApplicationName(), [](HWND box) { DialogWatcher::Press(box, IDCANCEL); });
    EXPECT_TRUE(app.Quit());
    EXPECT_EQ(1, cancel.Count());
    EXPECT_EQ(1, app.ExecuteCommand(kCmd_Quit)) << "the command answers what Quit answered";
    EXPECT_EQ(2, cancel.Count());
  }
  EXPECT_FALSE(app.IsQuitting());
  ASSERT_NE(nullptr, app.GetDocument());
  {
    DialogWatcher discard(GetApplicationName(), [](HWND box) { DialogWatcher::Press(box, IDNO); });
    EXPECT_TRUE(app.Quit());
  }
  EXPECT_TRUE(app.IsQuitting());
  EXPECT_EQ(nullptr, app.GetDocument());
  EXPECT_EQ(nullptr, app.GetWindow());
}

TEST_F(DocApplicationTest, InstallMenuBarMakesTheFirstDocument) {
  {
    TestDocApp app;
    app.InstallMenuBar();  // without a menu bar: nothing at all
    EXPECT_EQ(0, app.made);
  }
  TestDocApp app;
  CreateMenuBar();
  app.InstallMenuBar();
  EXPECT_EQ(1, app.made);
  ASSERT_NE(nullptr, app.GetWindow());
  EXPECT_EQ(app.GetDocument()->GetWindow(), app.GetWindow());
  EXPECT_TRUE(app.GetWindow()->IsVisible());
  EXPECT_EQ(CP_MenuBar::GetMenuBarHandle(), GetMenu(app.GetWindow()->GetHWND()));
  EXPECT_EQ(3, CP_MenuBar::GetMenuBar()->CountMenus());
  EXPECT_TRUE(CP_Document::CloseAllDocuments());
  EXPECT_EQ(nullptr, app.GetWindow());
}

// A whole run: start-up opens the command line's file, the quit command
// from the document window's menu closes the document and ends the loop.
class QuittingApp : public TestDocApp {
 public:
  void StartUp() override {
    TestDocApp::StartUp();
    PostMessageA(GetWindow()->GetHWND(), WM_COMMAND, kCmd_Quit, 0);
  }
};

TEST_F(DocApplicationTest, RunOpensTheCommandLineAndQuits) {
  TempFolder temp;
  const std::string film = LongPathOf(temp.Path()) + "\\a.flm";
  ASSERT_TRUE(kxtest::WriteWholeFile(film, "x"));
  gCP_CommandLine = film.c_str();
  {
    QuittingApp app;
    app.Run();
    EXPECT_TRUE(app.IsQuitting());
    EXPECT_EQ(std::vector<std::string>{film}, app.opened);
    EXPECT_EQ(1, app.made);
    EXPECT_EQ(nullptr, app.GetDocument());
    EXPECT_EQ(nullptr, CP_Document::GetDocumentList());
  }
  gCP_CommandLine = "";
}

}  // namespace
