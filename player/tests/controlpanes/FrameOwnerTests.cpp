// A frame that a list film's command opens belongs to the list film's
// window, so that it stays in front of it when that window comes forward.
#include "DatabaseFixture.h"
#include "PanesSupport.h"
#include "actions/MultimediaAction.h"
#include "document/GH_Globals.h"
#include "panes/GH_EM_QT_MoviePane.h"
#include "../support/SplashClass.h"

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

class FrameOwner : public DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    kxtest::RegisterSplashClass();
    fCD = MakeTempFolder("frame_owner_cd");
    // The film on the CD binds "ShowFrame" to a frame of another film.
    ASSERT_TRUE(CopyFileA(panes::ShippedFilm("sample200.flm").c_str(), (fCD + "\\Sea.flm").c_str(), FALSE));
    WriteFilmFile(fCD + "\\List.flm", true, {},
                  {{"ShowFrame", "playQTFrame(File=\"Sea.flm\",Top=\"10\",Left=\"10\",MovieWidth=\"160\","
                                 "MovieHeight=\"100\")"},
                   {"Fail", "failingAction(Value=\"x\")"}});
    AddRow("GH_ConfigDB", {{"ITEM_ID", 5}, {"ITEMTYPE", 4}, {"PARENTTYPE", 1}, {"ICONRESID", 3}, {"LOOP", 1},
                           {"RATE", 1}, {"ITEMTEXT", 0, "List"}, {"FileName", 0, "List.flm"}});
  }
  void TearDown() override {
    if (fStarted) {
      if (HWND frame = FindWindowA(nullptr, "playQTFrame")) DestroyWindow(frame);
      delete fEMWindow;
      delete fMainWindow;
      StopFramework();
    }
    RemoveTree(fCD);
    DatabaseFixture::TearDown();
  }
  // The engine started on film 5 of the CD, and a list film over it in
  // an "EMWindow".
  void StartListFilm() {
    kxtest::WaitForNoForeignWindows({"MainVideoWindow", "EMWindow", "playQTFrame", "Sprite Window"});
    StartFramework(GetModuleHandleA(nullptr), nullptr, "5", SW_SHOWNORMAL);
    fStarted = true;
    InitQuickTime();
    FilmRoot = fCD + "\\";
    fMainWindow = new panes::RecordingWindow(panes::PopupAt(0, 0, 640, 480), "MainVideoWindow");
    fMain = new GH_QT_MoviePane(nullptr, fMainWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(640, 480)),
                                nullptr, 1, 640, 480, 1, 1, 0, 10, 0);
    fMain->SetIdentifier(CP_FourCC("MAIN"));
    fMain->SetCommandLine("5");
    fMainWindow->Show();
    fMain->StartFromCommandLine();
    fEMWindow = new panes::RecordingWindow(panes::PopupAt(0, 0, 800, 600), "EMWindow", &fCommander);
    fEM = new GH_EM_QT_MoviePane(fEMWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(800, 600)),
                                 panes::LoadShipped("sample240.flm"), 1, 0, 1, "", 0, 0, 0);
    fEM->SetIdentifier(CP_FourCC("EMFL"));
    fEMWindow->Show();
  }

  std::string fCD;
  bool fStarted = false;
  panes::RecordingWindow* fMainWindow = nullptr;
  CP_Window* fEMWindow = nullptr;
  GH_QT_MoviePane* fMain = nullptr;
  GH_EM_QT_MoviePane* fEM = nullptr;
  CP_M_Commander fCommander{nullptr};
};

// True when `upper` lies above `lower` in the z-order.
bool Above(HWND upper, HWND lower) {
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
    if (w == lower) return true;
  return false;
}

}  // namespace

TEST_F(FrameOwner, AFrameFromAListFilmStaysInFrontOfIt) {
  StartListFilm();
  ASSERT_NE(nullptr, fMain->GetCurrentEntry());

  fEM->RunFilmCommand("ShowFrame");
  HWND frame = FindWindowA(nullptr, "playQTFrame");
  ASSERT_NE(nullptr, frame);
  EXPECT_EQ(fEMWindow->GetHWND(), GetWindow(frame, GW_OWNER));
  // The list film's window comes forward, as when it takes the focus again.
  SetForegroundWindow(fEMWindow->GetHWND());
  BringWindowToTop(fEMWindow->GetHWND());
  EXPECT_TRUE(IsWindowVisible(frame));
  EXPECT_TRUE(Above(frame, fEMWindow->GetHWND()));
}

TEST_F(FrameOwner, AFailingActionEndsOnlyItself) {
  StartListFilm();
  EXPECT_NO_THROW(EXPECT_TRUE(fMain->RunFilmCommand("Fail")));
  EXPECT_NO_THROW(fEM->RunFilmCommand("Fail"));
  EXPECT_NE(nullptr, fEM->GetMovie()) << "the list film goes on";
}
