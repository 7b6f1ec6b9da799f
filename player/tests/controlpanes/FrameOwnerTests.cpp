// A list film's commands while the main film plays from the CD database:
// where the command text is found for the film that plays, and the frame a
// command opens belongs to the list film's window, so that it stays in
// front of it when that window comes forward.
#include "DatabaseFixture.h"
#include "PanesSupport.h"
#include "actions/MultimediaAction.h"
#include "document/GH_Globals.h"
#include "panes/GH_EM_QT_MoviePane.h"

#include <stdexcept>

namespace {

// An action that fails with an error of neither the framework's nor the
// store's family.
class FailingAction : public MultimediaAction {
 public:
  explicit FailingAction(ActionParameters& parameters) : MultimediaAction(parameters) {}
  void Execute() override { throw std::runtime_error("failed"); }
};
MultimediaActionMaker<FailingAction> gFailingMaker("failingAction");

// A frame of "Sea.flm" at this distance from the screen's left edge: where
// it lies tells which binding ran.
std::string FrameAt(int left) {
  return "playQTFrame(File=\"Sea.flm\",Top=\"10\",Left=\"" + std::to_string(left) +
         "\",MovieWidth=\"160\",MovieHeight=\"100\")";
}

class FrameOwner : public DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    kxtest::RegisterSplashClass();
    fCD = MakeTempFolder("frame_owner_cd");
    // The film on the CD binds "ShowFrame" to a frame of another film.
    ASSERT_TRUE(CopyFileA(panes::ShippedFilm("sample200.flm").c_str(), (fCD + "\\Sea.flm").c_str(), FALSE));
    WriteFilmFile(fCD + "\\List.flm", true, {},
                  {{"ShowFrame", FrameAt(10)}, {"Fail", "failingAction(Value=\"x\")"}, {"Both", FrameAt(30)},
                   {"CDOnly", FrameAt(50)}});
    AddRow("GH_ConfigDB", {{"ITEM_ID", 5}, {"ITEMTYPE", 4}, {"PARENTTYPE", 1}, {"ICONRESID", 3}, {"LOOP", 1},
                           {"RATE", 1}, {"ITEMTEXT", 0, "List"}, {"FileName", 0, "List.flm"}});
  }
  void TearDown() override {
    End();
    RemoveTree(fCD);
    DatabaseFixture::TearDown();
  }

  // The engine started on the film of `item`, the CD's folder as root.
  GH_QT_MoviePane* StartOn(const char* item) {
    kxtest::WaitForNoForeignWindows({"MainVideoWindow", "EMWindow", "playQTFrame", "Sprite Window"});
    StartFramework(GetModuleHandleA(nullptr), nullptr, item, SW_SHOWNORMAL);
    fStarted = true;
    InitQuickTime();
    FilmRoot = fCD + "\\";
    fMainWindow = new panes::RecordingWindow(panes::PopupAt(0, 0, 640, 480), "MainVideoWindow");
    auto* main = new GH_QT_MoviePane(nullptr, fMainWindow,
                                     CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(640, 480)), nullptr, 1, 640,
                                     480, 1, 1, 0, 10, 0);
    main->SetIdentifier(CP_FourCC("MAIN"));
    main->SetCommandLine(item);
    fMainWindow->Show();
    main->StartFromCommandLine();
    return main;
  }
  // A list film over the main film.
  GH_EM_QT_MoviePane* OpenEM() {
    fEMWindow = new panes::RecordingWindow(panes::PopupAt(0, 0, 800, 600), "EMWindow", &fCommander);
    auto* em = new GH_EM_QT_MoviePane(fEMWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(800, 600)),
                                      panes::LoadShipped("sample240.flm"), 1, 0, 1, "", 0, 0, 0);
    em->SetIdentifier(CP_FourCC("EMFL"));
    fEMWindow->Show();
    return em;
  }
  void End() {
    if (!fStarted) return;
    if (HWND frame = FindWindowA(nullptr, "playQTFrame")) DestroyWindow(frame);
    delete fEMWindow;
    delete fMainWindow;
    fEMWindow = nullptr;
    fMainWindow = nullptr;
    StopFramework();
    fStarted = false;
  }

  std::string fCD;
  bool fStarted = false;
  panes::RecordingWindow* fMainWindow = nullptr;
  CP_Window* fEMWindow = nullptr;
  CP_M_Commander fCommander{nullptr};
};

}  // namespace

TEST_F(FrameOwner, AFrameFromAListFilmStaysInFrontOfIt) {
  ASSERT_NE(nullptr, StartOn("5")->GetCurrentEntry());
  GH_EM_QT_MoviePane* em = OpenEM();

  em->RunFilmCommand("ShowFrame");
  HWND frame = FindWindowA(nullptr, "playQTFrame");
  ASSERT_NE(nullptr, frame);
  EXPECT_EQ(fEMWindow->GetHWND(), GetWindow(frame, GW_OWNER));
  // The list film's window comes forward, as when it takes the focus again.
  SetForegroundWindow(fEMWindow->GetHWND());
  BringWindowToTop(fEMWindow->GetHWND());
  EXPECT_TRUE(IsWindowVisible(frame));
  EXPECT_TRUE(kxtest::Above(frame, fEMWindow->GetHWND()));
}

TEST_F(FrameOwner, AFailingActionEndsOnlyItself) {
  GH_QT_MoviePane* main = StartOn("5");
  GH_EM_QT_MoviePane* em = OpenEM();
  EXPECT_NO_THROW(EXPECT_TRUE(main->RunFilmCommand("Fail")));
  EXPECT_NO_THROW(em->RunFilmCommand("Fail"));
  EXPECT_NE(nullptr, em->GetMovie()) << "the list film goes on";
}

// The CD in the drive is the films' folder: a film of the CD asks the CD
// database's bindings for that disc first and its own table after; an
// installed film asks only its own table, in its drive's folder.
TEST_F(FrameOwner, EMPaneLooksUpTheCommandWhereTheFilmLies) {
  const std::string drive = MakeTempFolder("frame_owner_drive");
  WriteFilmFile(drive + "\\Installed.flm", true, {}, {{"DriveOnly", FrameAt(70)}});
  AddRow("GH_DriveDB", {{"DRIVEID", 7}, {"DRIVENAME", 0, "Ship"}, {"LABEL", 0, "SHIP"}, {"PATH", 0, drive.c_str()}});
  AddRow("GH_ConfigDB", {{"ITEM_ID", 8}, {"ITEMTYPE", 4}, {"PARENTTYPE", 2}, {"ICONRESID", 3}, {"LOOP", 1},
                         {"RATE", 1}, {"ITEMTEXT", 0, "Installed"}, {"FileName", 0, "Installed.flm"},
                         {"ALIASROOT", 0, "SHIP"}});
  const std::string label = GetVolumeLabel(fCD + "\\");
  AddRow("GH_ConfigDB", {{"ITEM_ID", 9}, {"ITEMTYPE", 1}, {"PARENTTYPE", 1}, {"ITEMTEXT", 0, "Sea CD"},
                         {"VOLUMENAME", 0, label.c_str()}, {"ALIASROOT", 0, "SEA_CD"}});
  AddRow("GH_ActionDB", {{"ACTIONID", 901}, {"ACTIONTYPE", 2}, {"ALIASROOT", 0, "SEA_CD"}, {"SPRITE", 0, "Both"},
                         {"ACTIONTEXT", 0, FrameAt(90).c_str()}});
  AddRow("GH_ActionDB", {{"ACTIONID", 903}, {"ACTIONTYPE", 2}, {"ALIASROOT", 0, "SEA_CD"}, {"SPRITE", 0, "Leave"},
                         {"ACTIONTEXT", 0, (FrameAt(130) + " CloseWindow(").c_str()}});
  // Bound for installed films in the database, which they never ask.
  AddRow("GH_ActionDB", {{"ACTIONID", 902}, {"ACTIONTYPE", 1}, {"ALIASROOT", 0, "SHIP"}, {"SPRITE", 0, "DriveOnly"},
                         {"ACTIONTEXT", 0, FrameAt(110).c_str()}});
  struct Case {
    const char* name;
    const char* item;
    const char* command;
    int frameLeft;  // -1: nothing runs
    bool closes;
  };
  const Case kCases[] = {
      {"on the CD, bound in the database", "5", "Both", 90, false},
      {"on the CD, only in the film's own table", "5", "CDOnly", 50, false},
      {"on the CD, bound nowhere", "5", "Nowhere", -1, false},
      {"on the CD, a binding that closes", "5", "Leave", -1, true},
      {"installed, in the film on its drive", "8", "DriveOnly", 70, false},
      {"installed, a name of the CD's film only", "8", "CDOnly", -1, false},
  };
  for (const Case& c : kCases) {
    GH_QT_MoviePane* main = StartOn(c.item);
    ASSERT_NE(nullptr, main->GetCurrentEntry()) << c.name;
    GH_EM_QT_MoviePane* em = OpenEM();
    em->RunFilmCommand(c.command);
    EXPECT_EQ(c.frameLeft, panes::FrameLeft()) << c.name;
    if (c.frameLeft >= 0) {
      EXPECT_EQ(fEMWindow->GetHWND(), GetWindow(FindWindowA(nullptr, "playQTFrame"), GW_OWNER)) << c.name;
    }
    EXPECT_EQ(c.closes, em->IsDismissOnClick()) << c.name;
    // A close posts the click that ends the window.
    HWND emFrame = fEMWindow->GetHWND();
    EXPECT_EQ(c.closes, kxtest::PumpUntil([&] { return !IsWindow(emFrame); }, c.closes ? 3000 : 200)) << c.name;
    if (!IsWindow(emFrame)) fEMWindow = nullptr;
    End();
  }
  RemoveTree(drive);
}
