// The library document over a real CD database: the application object
// opens the tables and records the films found in the films folder, the
// document builds the main window, and the cases drive it with real
// messages as a user would.
#include "CDDataFile.h"
#include "CDDatabase.h"
#include "CP_FourCC.h"
#include "CP_MenuBar.h"
#include "CP_SDIApp_Document.h"
#include "CP_StatusBar.h"
#include "CP_TreeList_Application.h"
#include "CP_Window.h"
#include "DatabaseTestSupport.h"
#include "FrameworkFixture.h"
#include "GH_LibraryGlobals.h"
#include "GH_ListView.h"
#include "GH_PictureButton.h"
#include "GH_TreeDirItem.h"
#include "GH_TreeTable.h"
#include "WinTestSupport.h"

#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

void WriteSetting(const char* key, const std::string& value) {
  WritePrivateProfileStringA(kIniSection, key, value.c_str(), kIniFile);
}

std::string ReadSetting(const char* key) {
  char value[512] = {};
  GetPrivateProfileStringA(kIniSection, key, "<missing>", value, sizeof value, kIniFile);
  return value;
}

class DocumentTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    // Test programs running side by side must not find each other's window.
    mainWindowTitle = "Glintharbour Player " + std::to_string(GetCurrentProcessId());
    for (const char* key : {"LastWindowX", "LastWindowY", "MainWindow_W", "MainWindow_H", "QTPaneHeight", "Mute",
                            "Volume", "Randomize", "EmptyWasteBasket", "ScreenSize"})
      WritePrivateProfileStringA(kIniSection, key, nullptr, kIniFile);
    // Unless a case gives a drive of its own, a letter that no system has:
    // no CD is registered at start.
    WriteSetting("CDDrive", cdDrive);
    filmsFolder = tables.Folder("films");
    {
      CDDatabase database("Config Tool");
      DriveRecord films;
      films.LABEL = filmsFolderAlias;
      ASSERT_FALSE(database.FindDriveRecord(films));
      films.PATH = filmsFolder;
      ASSERT_FALSE(database.UpdateDriveRecord(films));
    }
    dbtest::WriteFilm(filmsFolder + "\\harbour.flm", {{"name", "Harbour Lights"}}, {});
    dbtest::WriteFilm(filmsFolder + "\\tide.flm", {{"name", "Night Tide"}}, {});
    // The engine stand-in, where the Path setting points.
    engineFolder = tables.Folder("program");
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\manager_fake_engine.exe").c_str(),
                          (engineFolder + "\\KX3 Engine.exe").c_str(), FALSE));
    WriteSetting("Path", engineFolder);

    StartApplication();
  }

  void StartApplication() {
    application = std::make_unique<CP_TreeList_Application>();
    application->CreateMenuBar();
    application->InstallMenuBar();
    document = application->GetLibraryDocument();
    ASSERT_NE(nullptr, document);
    window = document->GetWindow();
    ASSERT_NE(nullptr, window);
    kxtest::PumpUntil([] { return false; }, 100);
  }
  // The program ended and started again on the same library and settings.
  void RestartApplication() {
    application->Quit();
    application.reset();
    StartApplication();
  }

  void TearDown() override {
    if (application) application->Quit();
    application.reset();
    FrameworkTest::TearDown();
  }

  GH_TreeDirItem* Node(int32_t id) const {
    return dynamic_cast<GH_TreeDirItem*>(document->GetTree()->FindRootItemById(id));
  }

  std::string NodeLabel(CP_TreeTableItem* node) const {
    char text[256] = {};
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = node->GetHandle();
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(document->GetTree()->GetHWND(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
  }

  void ClickNode(CP_TreeTableItem* node) const {
    RECT rect = {};
    const HTREEITEM handle = node->GetHandle();
    std::memcpy(&rect, &handle, sizeof handle);
    SendMessageA(document->GetTree()->GetHWND(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    // The control follows the mouse until the button goes up: the release
    // waits in the queue before the press arrives.
    PostMessageA(document->GetTree()->GetHWND(), WM_LBUTTONUP, 0, at);
    SendMessageA(document->GetTree()->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    kxtest::PumpUntil([] { return false; }, 50);
  }

  void ClickRow(int32_t index, WPARAM keys = 0) const {
    HWND list = document->GetFilmList()->GetHWND();
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM(200, (rect.top + rect.bottom) / 2);
    PostMessageA(list, WM_LBUTTONUP, keys, at);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    kxtest::PumpUntil([] { return false; }, 50);
  }

  std::string StatusText() const {
    char text[512] = {};
    SendMessageA(document->GetStatusBar()->GetHWND(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
  }

  GH_PictureButton* Button(uint32_t identity) const {
    return dynamic_cast<GH_PictureButton*>(window->FindSubPaneById(int32_t(identity), true));
  }

  // The films folder's node, chosen, with its films in the list.
  void ShowFilmsFolder() {
    GH_TreeDirItem* films = Node(cdDatabase->ItemIdByAliasRoot(filmsFolderAlias));
    ASSERT_NE(nullptr, films);
    ClickNode(films);
    ASSERT_EQ(2, document->GetFilmList()->CountItems());
  }

  std::string EngineArguments() const {
    const std::string file = engineFolder + "\\engine_args.txt";
    if (!kxtest::PumpUntil([&] { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000))
      return "<engine not started>";
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    in.close();
    // Gone before the next start: a file still held for a moment would
    // answer the next question with this start's text.
    kxtest::PumpUntil([&] {
      DeleteFileA(file.c_str());
      return GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES;
    }, 10000);
    return text.str();
  }

  // Answers the library's messages about films, No where it asks.
  kxtest::CautiousAnswers messages{"Glintharbour KX"};
  std::vector<std::string> Messages() { return messages.Texts(); }

  std::string cdDrive = "Q:\\";
  dbtest::TableFolder tables{dbtest::Seed::Installation};
  std::string filmsFolder;
  std::string engineFolder;
  std::unique_ptr<CP_TreeList_Application> application;
  CP_SDIApp_Document* document = nullptr;
  CP_Window* window = nullptr;
};

TEST_F(DocumentTest, BuildsTheMainWindowOverTheLibrary) {
  EXPECT_EQ(window->GetHWND(), FindWindowA(nullptr, mainWindowTitle.c_str()));
  for (uint32_t identity :
       {CP_FourCC("TOOL"), CP_FourCC("TMOV"), CP_FourCC("PSCR"), CP_FourCC("INSM"), CP_FourCC("TRND"),
        CP_FourCC("TBOX"), CP_FourCC("SIZE"), CP_FourCC("STAT"), CP_FourCC("SPLT"), CP_FourCC("SBOT"),
        CP_FourCC("THUM"), CP_FourCC("TREE"), CP_FourCC("LIST")})
    EXPECT_NE(nullptr, window->FindSubPaneById(int32_t(identity), true)) << std::hex << identity;

  // The films folder with the two films found there, and the wastebasket last.
  GH_TreeTable* tree = document->GetTree();
  ASSERT_EQ(2, tree->CountRootItems());
  EXPECT_EQ("Glintharbour Films [ 2 Films ]", NodeLabel(tree->GetRootItem(1)));
  EXPECT_EQ(kWastebasketId, tree->GetRootItem(2)->GetIdentifier());
  EXPECT_EQ("Wastebasket [ 0 Films ]", NodeLabel(tree->GetRootItem(2)));
  EXPECT_EQ("Glintharbour Films can be found at the following location : \"" + filmsFolder + "\"", StatusText());
}

TEST_F(DocumentTest, APickedNodeSaysWhereItIs) {
  ClickNode(Node(kWastebasketId));
  EXPECT_EQ("Wastebasket", StatusText());
  EXPECT_EQ(0, document->GetFilmList()->CountItems());
  ClickNode(Node(cdDatabase->ItemIdByAliasRoot(filmsFolderAlias)));
  EXPECT_EQ("Glintharbour Films can be found at the following location : \"" + filmsFolder + "\"", StatusText());
}

TEST_F(DocumentTest, TheFilmButtonsFollowTheSelection) {
  ShowFilmsFolder();
  document->UpdateFilmButtons();
  GH_PictureButton* play = Button(CP_FourCC("TMOV"));
  GH_PictureButton* install = Button(CP_FourCC("INSM"));
  ASSERT_NE(nullptr, play);
  ASSERT_NE(nullptr, install);
  struct Step {
    const char* name;
    int clicks;  // rows clicked, the second with Ctrl
    int16_t playPicture;
    bool playEnabled;
    int16_t installPicture;
    bool installEnabled;
  };
  const Step steps[] = {
      {"one film", 1, 3032, true, 3062, true},
      {"two films", 2, 3034, false, 3062, true},
  };
  for (const Step& step : steps) {
    ClickRow(0);
    if (step.clicks == 2) ClickRow(1, MK_CONTROL);
    document->UpdateFilmButtons();
    EXPECT_EQ(step.playPicture, play->GetBasePictureId()) << step.name;
    EXPECT_EQ(step.playEnabled, play->GetEnabledState() == CP_Pane::kOn) << step.name;
    EXPECT_EQ(step.installPicture, install->GetBasePictureId()) << step.name;
    EXPECT_EQ(step.installEnabled, install->GetEnabledState() == CP_Pane::kOn) << step.name;
  }
  // Emptied, nothing has the focus: both buttons are greyed.
  document->GetFilmList()->DeleteAllRows();
  document->UpdateFilmButtons();
  EXPECT_EQ(3034, play->GetBasePictureId());
  EXPECT_EQ(3064, install->GetBasePictureId());
  EXPECT_NE(CP_Pane::kOn, install->GetEnabledState());
}

TEST_F(DocumentTest, AFilmThatCannotBeShownSaysWhy) {
  ShowFilmsFolder();
  const int32_t first = int32_t(document->GetFilmList()->GetRowData(1).userValue);
  PlaylistEntry* film = document->GetFilmList()->FindItemRecord(first);
  ASSERT_NE(nullptr, film);
  const std::string title = film->ITEMTEXT;
  struct Case {
    const char* name;
    const char* aliasRoot;  // of the film's row in memory
    std::string want;
  };
  const Case cases[] = {
      // The stand-in films hold no movie the preview can open.
      {"file that does not open", "Glintharbour Films",
       "Cannot open Movie file \"" + title + "\". Please make sure the CD \"Glintharbour Films\" is in the drive."},
      {"location without a drive row", "Lost Drive",
       "Cannot find root drive Lost Drive. Please make sure drive is configured correctly."},
  };
  for (const Case& c : cases) {
    film->AliasRoot = c.aliasRoot;
    const size_t before = Messages().size();
    ClickRow(1);
    ClickRow(0);
    ASSERT_TRUE(kxtest::PumpUntil([&] { return Messages().size() > before; }, 5000)) << c.name;
    EXPECT_EQ(c.want, Messages().back()) << c.name;
  }
}

// The main window's timer keeps the buttons in step with the list, also
// when the list changed without telling anyone.
TEST_F(DocumentTest, TheWindowsTimerKeepsTheFilmButtonsInStep) {
  ShowFilmsFolder();
  ClickRow(0);
  GH_PictureButton* play = Button(CP_FourCC("TMOV"));
  ASSERT_NE(nullptr, play);
  ASSERT_EQ(3032, play->GetBasePictureId());
  document->GetFilmList()->DeleteAllRows();
  EXPECT_EQ(3032, play->GetBasePictureId());
  EXPECT_TRUE(kxtest::PumpUntil([&] { return play->GetBasePictureId() == 3034; }, 1000));
  EXPECT_NE(CP_Pane::kOn, play->GetEnabledState());
}

TEST_F(DocumentTest, PlaySelectedIsEnabledOnlyWithAFocusedFilm) {
  HMENU bar = CP_MenuBar::GetMenuBarHandle();
  ASSERT_NE(nullptr, bar);
  auto greyed = [&] {
    CP_M_Commander::ChangeTarget(document);
    CP_M_Commander::UpdateMenus();
    return (GetMenuState(bar, 2004, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
  };
  ShowFilmsFolder();
  ClickRow(1);
  EXPECT_FALSE(greyed());
  document->GetFilmList()->DeleteAllRows();
  EXPECT_TRUE(greyed());
}

TEST_F(DocumentTest, PlaySelectedStartsTheEngineOnTheFilmAndPlayAllWithout) {
  ShowFilmsFolder();
  ClickRow(1);
  const int32_t film = int32_t(document->GetFilmList()->GetRowData(2).userValue);
  EXPECT_EQ(1, document->ExecuteCommand(2004));
  EXPECT_EQ(std::to_string(film), EngineArguments());
  // The selected row became the focused one, no longer selected.
  const UINT state = UINT(SendMessageA(document->GetFilmList()->GetHWND(), LVM_GETITEMSTATE, 1,
                                       LVIS_SELECTED | LVIS_FOCUSED));
  EXPECT_EQ(UINT(LVIS_FOCUSED), state);

  // Play all names no film, even with a film chosen.
  ClickRow(0);
  CP_Message pressed(static_cast<CP_Control*>(Button(CP_FourCC("PSCR"))), 0, 0, 0);
  document->ReceiveBroadcast(pressed);
  EXPECT_EQ("", EngineArguments());

  // A Path with its own backslash gives the same engine.
  WriteSetting("Path", engineFolder + "\\");
  ClickRow(0);
  document->StartEngine(1);
  EXPECT_EQ(std::to_string(document->GetFilmList()->GetRowData(1).userValue), EngineArguments());
}

TEST_F(DocumentTest, TheEnginesInstalledMessageShowsTheNewFilmChosen) {
  GH_TreeDirItem* films = Node(cdDatabase->ItemIdByAliasRoot(filmsFolderAlias));
  ClickNode(Node(kWastebasketId));
  dbtest::WriteFilm(filmsFolder + "\\dawn.flm", {{"name", "Dawn Run"}}, {});
  SendMessageA(window->GetHWND(), 0x40A, 0, 0);

  GH_ListView* list = document->GetFilmList();
  ASSERT_EQ(3, list->CountItems());
  EXPECT_EQ("Glintharbour Films [ 3 Films ]", NodeLabel(films));
  const int32_t chosen = int32_t(SendMessageA(list->GetHWND(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
  ASSERT_GE(chosen, 0);
  EXPECT_EQ(0u, list->GetItem(int16_t(chosen + 1))->data.text.find("Dawn Run"));
  EXPECT_EQ(UINT(LVIS_SELECTED | LVIS_FOCUSED),
            UINT(SendMessageA(list->GetHWND(), LVM_GETITEMSTATE, WPARAM(chosen), LVIS_SELECTED | LVIS_FOCUSED)));

  // Nothing new: the films folder's films, none chosen.
  list->DeselectAll();
  SendMessageA(window->GetHWND(), 0x40A, 0, 0);
  EXPECT_EQ(3, list->CountItems());
  EXPECT_EQ(-1, SendMessageA(list->GetHWND(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

// Films renamed outside the program keep their rows: the next start asks
// nothing (Yes would delete their only files), the list shows each film
// under its own row with the file's new name, and a change made in the
// list keeps that name in the table. The engine's installed message finds
// a renamed film the same way and shows it chosen.
TEST_F(DocumentTest, FilmsRenamedOutsideTheProgramKeepTheirRows) {
  ShowFilmsFolder();
  GH_ListView* list = document->GetFilmList();
  int32_t tide = 0;
  std::vector<int32_t> ids;
  for (int16_t row = 1; row <= 2; ++row) {
    ids.push_back(int32_t(list->GetRowData(row).userValue));
    if (list->FindItemRecord(ids.back())->FileName == "tide.flm") tide = ids.back();
  }
  ASSERT_NE(0, tide);
  application->Quit();
  application.reset();
  ASSERT_TRUE(kxtest::RenameFile(filmsFolder + "\\harbour.flm", filmsFolder + "\\HARBOUR.flm"));
  ASSERT_TRUE(MoveFileA((filmsFolder + "\\tide.flm").c_str(), (filmsFolder + "\\Tide at night.flm").c_str()));
  kxtest::MessageBoxWatcher questions("Glintharbour International", IDYES);
  StartApplication();
  EXPECT_EQ(0, questions.Count()) << questions.LastText();
  EXPECT_TRUE(dbtest::FileExists(filmsFolder + "\\HARBOUR.flm"));
  EXPECT_TRUE(dbtest::FileExists(filmsFolder + "\\Tide at night.flm"));
  ShowFilmsFolder();
  list = document->GetFilmList();
  std::vector<int32_t> shown = {int32_t(list->GetRowData(1).userValue), int32_t(list->GetRowData(2).userValue)};
  std::sort(shown.begin(), shown.end());
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, shown);
  ASSERT_NE(nullptr, list->FindItemRecord(tide));
  EXPECT_EQ("Tide at night.flm", list->FindItemRecord(tide)->FileName);
  list->TogglePlayFlag(tide);
  PlaylistEntry row;
  row.ITEM_ID = tide;
  ASSERT_FALSE(cdDatabase->FindItem(row));
  EXPECT_EQ("Tide at night.flm", row.FileName);

  ASSERT_TRUE(
      MoveFileA((filmsFolder + "\\Tide at night.flm").c_str(), (filmsFolder + "\\Night Tide.flm").c_str()));
  list->DeselectAll();
  SendMessageA(window->GetHWND(), 0x40A, 0, 0);
  EXPECT_EQ(0, questions.Count()) << questions.LastText();
  ASSERT_EQ(2, list->CountItems());
  const int32_t chosen = int32_t(SendMessageA(list->GetHWND(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
  ASSERT_GE(chosen, 0);
  EXPECT_EQ(tide, int32_t(list->GetRowData(int16_t(chosen + 1)).userValue));
  EXPECT_EQ("Night Tide.flm", list->FindItemRecord(tide)->FileName);
}

TEST_F(DocumentTest, MuteFollowsTheButtonAndShuffleTheStoredValue) {
  GH_PictureButton* mute = Button(CP_FourCC("TBOX"));
  GH_PictureButton* shuffle = Button(CP_FourCC("TRND"));
  ASSERT_NE(nullptr, mute);
  ASSERT_NE(nullptr, shuffle);
  WriteSetting("Volume", "7");
  mute->SetToggleState(1);
  document->ToggleMute(mute);
  EXPECT_EQ("1", ReadSetting("Mute"));
  mute->SetToggleState(0);
  document->ToggleMute(mute);
  EXPECT_EQ("0", ReadSetting("Mute"));
  EXPECT_EQ("7", ReadSetting("Volume"));

  // Missing: the handler leaves the setting and the button alone.
  shuffle->SetToggleState(1);
  document->ToggleRandomize(shuffle);
  EXPECT_EQ("<missing>", ReadSetting("Randomize"));
  EXPECT_EQ(1, shuffle->GetToggleState());
  WriteSetting("Randomize", "1");
  document->ToggleRandomize(shuffle);
  EXPECT_EQ("0", ReadSetting("Randomize"));
  EXPECT_EQ(0, shuffle->GetToggleState());
  document->ToggleRandomize(shuffle);
  EXPECT_EQ("1", ReadSetting("Randomize"));
  EXPECT_EQ(1, shuffle->GetToggleState());
}

// Reads the first pop-up menu this process shows, from another thread, and
// closes it with Escape.
class PopupMenuReader {
 public:
  PopupMenuReader() : fThread([this] { Watch(); }) {}
  ~PopupMenuReader() {
    fStop = true;
    fThread.join();
  }
  struct Entry {
    std::string text;
    bool greyed;
    bool checked;
  };
  std::vector<Entry> Entries() {
    std::lock_guard<std::mutex> lock(fMutex);
    return fEntries;
  }

 private:
  void Watch() {
    for (int n = 0; n < 1000 && !fStop; ++n) {
      HWND menu = FindWindowA("#32768", nullptr);
      if (menu && IsWindowVisible(menu)) {
        auto handle = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
        std::vector<Entry> entries;
        for (int i = 0; i < GetMenuItemCount(handle); ++i) {
          char text[64] = {};
          GetMenuStringA(handle, UINT(i), text, sizeof text, MF_BYPOSITION);
          const UINT state = GetMenuState(handle, UINT(i), MF_BYPOSITION);
          entries.push_back({text, (state & (MF_GRAYED | MF_DISABLED)) != 0, (state & MF_CHECKED) != 0});
        }
        {
          std::lock_guard<std::mutex> lock(fMutex);
          fEntries = entries;
        }
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        return;
      }
      Sleep(10);
    }
  }

  std::atomic<bool> fStop{false};
  std::mutex fMutex;
  std::vector<Entry> fEntries;
  std::thread fThread;
};

// The film sizes offered are those the screen is high enough for; a choice
// is stored for the engine with AutoResize off, and the stored size is the
// one chosen when the window is next built.
TEST_F(DocumentTest, TheFilmSizeChoiceOffersWhatFitsAndKeepsTheChoice) {
  if (GetSystemMetrics(SM_CYSCREEN) != 768) GTEST_SKIP() << "the cases are those of a 1024 x 768 display";
  auto sizeBox = [this] { return window->FindSubPaneById(int32_t(CP_FourCC("SIZE")), true)->GetHWND(); };
  HWND box = sizeBox();
  ASSERT_EQ(3, SendMessageA(box, CB_GETCOUNT, 0, 0));
  const char* const offered[] = {"640 x 480", "800 x 600", "1024 x 768"};
  for (int n = 0; n < 3; ++n) {
    char text[32] = {};
    SendMessageA(box, CB_GETLBTEXT, WPARAM(n), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(offered[n], text);
  }
  // Nothing stored: the box shows its first size, as it does when made.
  EXPECT_EQ(0, SendMessageA(box, CB_GETCURSEL, 0, 0));

  // The user opens the list and clicks a size.
  auto choose = [&](int item) {
    SendMessageA(box, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(box, &info));
    RECT rect = {};
    SendMessageA(info.hwndList, LB_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageA(info.hwndList, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(info.hwndList, WM_LBUTTONUP, 0, at);
    kxtest::PumpUntil([] { return false; }, 50);
  };
  WriteSetting("AutoResize", "1");
  choose(1);
  EXPECT_EQ(1, SendMessageA(box, CB_GETCURSEL, 0, 0));
  EXPECT_EQ("800 x 600", ReadSetting("ScreenSize"));
  EXPECT_EQ("0", ReadSetting("AutoResize"));
  choose(2);
  EXPECT_EQ("1024 x 768", ReadSetting("ScreenSize"));

  struct Case {
    const char* stored;
    int shown;  // the box's selection when the window is built again
  };
  const Case cases[] = {
      {"800 x 600", 1},
      {"640 X 480", 0},    // letter case aside
      {"1024", 2},         // the first size that begins so
      {"1152 x 864", 0},   // too high for this screen: the first size stays
      {"none", 0},         // the default
  };
  for (const Case& c : cases) {
    WriteSetting("ScreenSize", c.stored);
    RestartApplication();
    EXPECT_EQ(c.shown, SendMessageA(sizeBox(), CB_GETCURSEL, 0, 0)) << c.stored;
    EXPECT_EQ(c.stored, ReadSetting("ScreenSize")) << "building the window stores nothing";
  }
}

TEST_F(DocumentTest, TheWastebasketsMenuShowsTheExitSetting) {
  struct Case {
    const char* setting;
    bool checked;
  };
  for (const Case& c : {Case{nullptr, false}, Case{"1", true}, Case{"0", false}}) {
    WritePrivateProfileStringA(kIniSection, "EmptyWasteBasket", c.setting, kIniFile);
    GH_TreeDirItem* wastebasket = Node(kWastebasketId);
    PopupMenuReader reader;
    wastebasket->HandleRightClick(CP_Point(int16_t(5), int16_t(5)));
    const auto entries = reader.Entries();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("&Empty Wastebasket", entries[0].text);
    EXPECT_EQ("Empty Wastebasket on E&xit", entries[1].text);
    EXPECT_FALSE(entries[0].greyed);
    EXPECT_EQ(c.checked, entries[1].checked) << (c.setting ? c.setting : "missing");
  }
}

TEST_F(DocumentTest, ALocationWithoutFoldersCannotOpen) {
  GH_TreeDirItem* films = Node(cdDatabase->ItemIdByAliasRoot(filmsFolderAlias));
  PopupMenuReader reader;
  films->HandleRightClick(CP_Point(int16_t(5), int16_t(5)));
  const auto entries = reader.Entries();
  ASSERT_EQ(3u, entries.size());
  EXPECT_TRUE(entries[0].greyed);
  EXPECT_TRUE(entries[1].greyed);
  EXPECT_EQ("&Edit Location", entries[2].text);
  EXPECT_FALSE(entries[2].greyed);
}

TEST_F(DocumentTest, ClosingKeepsThePlaceAndEmptiesTheWastebasketWhenAsked) {
  // One film into the wastebasket, through the table and the item list.
  ShowFilmsFolder();
  PlaylistEntry film;
  film.ITEM_ID = int32_t(document->GetFilmList()->GetRowData(1).userValue);
  ASSERT_FALSE(cdDatabase->FindItem(film));
  film.PARENT_ID = kWastebasketId;
  ASSERT_FALSE(cdDatabase->UpdateItem(film, true));
  cdDatabase->LoadItems(itemList);
  WriteSetting("EmptyWasteBasket", "1");
  MoveWindow(window->GetHWND(), -30, 50, 700, 500, TRUE);

  application->Quit();
  EXPECT_EQ("0", ReadSetting("LastWindowX"));
  EXPECT_EQ("50", ReadSetting("LastWindowY"));
  EXPECT_EQ(0, cdDatabase->CountFilms(kWastebasketId));
  EXPECT_EQ(nullptr, FindWindowA(nullptr, mainWindowTitle.c_str()));
}

// The first start, when no films folder can be made: the films folder's
// row keeps its empty path and the stored films folder setting is kept.
TEST(FirstStartTest, WithoutAFilmsFolderTheStoredSettingIsKept) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  if (GetFileAttributesA((std::string(1, windows[0]) + ":\\My Documents").c_str()) != INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "My Documents exists: a films folder would be made there";
  StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
  dbtest::TableFolder tables{dbtest::Seed::Installation};
  tables.SetSetting("MovieDirectory", "Z:\\kept");
  // Path names a file: no films folder can be made under it.
  const std::string notAFolder = tables.File("program.txt");
  dbtest::WriteFile(notAFolder, "x");
  WriteSetting("Path", notAFolder);
  WriteSetting("CDDrive", "Q:\\");
  { CP_TreeList_Application application; }
  std::string path = "<no row>";
  for (const dbtest::RawRow& row : dbtest::RawRows(tables.Path(), "GH_DriveDB"))
    if (row.fields.at("LABEL") == filmsFolderAlias) path = row.fields.at("PATH");
  EXPECT_EQ("", path);
  EXPECT_EQ("Z:\\kept", tables.Setting("MovieDirectory"));
  StopFramework();
}

// A film dragged from the list and dropped on the wastebasket's node goes
// into the wastebasket, in the tables too.
// The films folder renamed while the manager is closed: the next start
// keeps every row, wastebasket places and play marks with them, and once
// the folder is back its films are the same rows, not new ones.
TEST(FilmsFolderAwayTest, AStartWithoutTheFilmsFolderKeepsItsFilms) {
  StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
  mainWindowTitle = "Glintharbour Player " + std::to_string(GetCurrentProcessId());
  dbtest::TableFolder tables{dbtest::Seed::Installation};
  const std::string films = tables.Folder("films");
  {
    CDDatabase database("Config Tool");
    ASSERT_FALSE(database.UpdateDriveRecord(dbtest::Drive(1, filmsFolderAlias, filmsFolderAlias, films)));
  }
  for (const char* name : {"Harbour Lights", "Night Tide", "Dawn Run", "Gull", "Reef"})
    dbtest::WriteFilm(films + "\\" + name + ".flm", {{"name", name}}, {});
  WriteSetting("Path", tables.Folder("program"));
  WriteSetting("CDDrive", "Q:\\");
  WriteSetting("EmptyWasteBasket", "0");
  { CP_TreeList_Application application; }  // records the five films
  {
    CDDatabase database("Config Tool");
    PlaylistEntries rows;
    ASSERT_EQ(0, database.LoadItems(rows));
    ASSERT_EQ(7u, rows.size());
    rows[3].PARENT_ID = kWastebasketId;
    ASSERT_FALSE(database.UpdateItem(rows[3], true));
    rows[4].PLAY = 0;
    ASSERT_FALSE(database.UpdateItem(rows[4], true));
  }
  const std::vector<dbtest::RawRow> before = dbtest::RawRows(tables.Path(), "GH_ConfigDB");
  auto expectRowsKept = [&](const char* when) {
    const std::vector<dbtest::RawRow> now = dbtest::RawRows(tables.Path(), "GH_ConfigDB");
    ASSERT_EQ(before.size(), now.size()) << when;
    for (size_t n = 0; n < now.size(); ++n) {
      EXPECT_FALSE(now[n].deleted) << when;
      EXPECT_EQ(before[n].fields, now[n].fields) << when << ", row " << n;
    }
  };

  ASSERT_TRUE(MoveFileA(films.c_str(), (films + " away").c_str()));
  { CP_TreeList_Application application; }
  expectRowsKept("folder away");
  ASSERT_TRUE(MoveFileA((films + " away").c_str(), films.c_str()));
  { CP_TreeList_Application application; }
  expectRowsKept("folder back");
  StopFramework();
}

TEST_F(DocumentTest, AFilmDroppedOnTheWastebasketGoesThere) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  ShowFilmsFolder();
  ClickRow(0);
  const int32_t film = int32_t(document->GetFilmList()->GetRowData(1).userValue);
  GH_TreeTable* tree = document->GetTree();
  CP_TreeTableItem* wastebasket = tree->FindRootItemById(kWastebasketId);
  ASSERT_NE(nullptr, wastebasket);
  RECT rect = {};
  const HTREEITEM handle = wastebasket->GetHandle();
  std::memcpy(&rect, &handle, sizeof handle);
  SendMessageA(tree->GetHWND(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
  POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(tree->GetHWND(), &point);
  const POINTL at{point.x, point.y};
  SetForegroundWindow(window->GetHWND());

  IDataObject* data = document->GetFilmList()->GetDataObject();
  IDropTarget* drop = tree->GetDropTarget();
  ASSERT_NE(nullptr, drop);
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  drop->DragEnter(data, MK_LBUTTON, at, &effect);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  drop->DragOver(MK_LBUTTON, at, &effect);
  EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  drop->Drop(data, 0, at, &effect);

  PlaylistEntry row;
  row.ITEM_ID = film;
  ASSERT_FALSE(cdDatabase->FindItem(row));
  EXPECT_EQ(kWastebasketId, row.PARENT_ID);
  EXPECT_EQ(1, document->GetFilmList()->CountItems()) << "the films folder keeps the other film";
  OleUninitialize();
}

// ---------------------------------------------------------------------------
// A real CD drive, empty at the start; the cases put a CD into it.

class CDDocumentTest : public DocumentTest {
 protected:
  CDDocumentTest() { cdDrive = drive.Root(); }
  void SetUp() override {
    ASSERT_TRUE(drive.Ready());
    ASSERT_EQ(UINT(DRIVE_CDROM), GetDriveTypeA(drive.Root().c_str()));
    DocumentTest::SetUp();
  }

  // The Ocean CD with two films goes into the drive.
  void InsertCD() const {
    using namespace cdfile;
    const Bytes data = Cat({Header(3, 0), Item(-1, -1, kItemCD, "Ocean", "", "Ocean CD"),
                            Item(2, 0, kItemFilm, "Sea", "sea.flm", "Ocean CD"),
                            Item(3, 0, kItemFilm, "Moon", "moon.flm", "Ocean CD")});
    dbtest::WriteFile(drive.Root() + "BinFile.GHC", std::string(data.begin(), data.end()));
  }

  void SendVolumeArrival() const {
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    EXPECT_EQ(1, SendMessageA(window->GetHWND(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                              reinterpret_cast<LPARAM>(&volume)));
  }

  // The labels of the root nodes, in order, each with its image index.
  std::vector<std::pair<std::string, int>> RootNodes() const {
    std::vector<std::pair<std::string, int>> nodes;
    GH_TreeTable* tree = document->GetTree();
    for (int16_t n = 1; n <= tree->CountRootItems(); ++n) {
      CP_TreeTableItem* node = tree->GetRootItem(n);
      TVITEMA item = {};
      item.mask = TVIF_HANDLE | TVIF_IMAGE;
      item.hItem = node->GetHandle();
      SendMessageA(tree->GetHWND(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      nodes.emplace_back(NodeLabel(node), item.iImage);
    }
    return nodes;
  }

  std::string SelectedLabel() const {
    GH_TreeTable* tree = document->GetTree();
    const auto handle = reinterpret_cast<HTREEITEM>(SendMessageA(tree->GetHWND(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    CP_TreeTableItem* node = handle ? tree->FindItemByHandle(handle) : nullptr;
    return node ? NodeLabel(node) : "<none>";
  }

  dbtest::TestCDDrive drive{"OCEAN"};
};

constexpr int kInDrive = 2;
constexpr int kNotInDrive = 5;

TEST_F(CDDocumentTest, AnInsertedCDIsRegisteredShownAndChosenWithoutTakingTheFocus) {
  const size_t before = RootNodes().size();
  InsertCD();
  kxtest::MessageBoxWatcher notices("CD AutoRegister", IDOK);
  HWND list = document->GetFilmList()->GetHWND();
  SetFocus(list);
  SendVolumeArrival();

  const auto nodes = RootNodes();
  ASSERT_EQ(before + 1, nodes.size());
  // Just above the wastebasket, in the drive, chosen, its films shown.
  EXPECT_EQ("Ocean CD [ 2 Films ]", nodes[nodes.size() - 2].first);
  EXPECT_EQ(kInDrive, nodes[nodes.size() - 2].second);
  EXPECT_EQ(0u, nodes.back().first.find("Wastebasket"));
  EXPECT_EQ("Ocean CD [ 2 Films ]", SelectedLabel());
  EXPECT_EQ(2, document->GetFilmList()->CountItems());
  EXPECT_EQ(list, GetFocus()) << "a CD arriving leaves the keyboard focus where it was";

  // The same CD again: no new node, no message.
  SendVolumeArrival();
  EXPECT_EQ(before + 1, RootNodes().size());
  EXPECT_EQ(0, notices.Count());
}

TEST_F(CDDocumentTest, AddCDRegistersTheCDInTheDriveAndSaysWhenItIsKnown) {
  InsertCD();
  kxtest::MessageBoxWatcher notices("CD AutoRegister", IDOK);
  EXPECT_EQ(1, application->ExecuteCommand(2000));
  auto nodes = RootNodes();
  EXPECT_EQ("Ocean CD [ 2 Films ]", nodes[nodes.size() - 2].first);
  EXPECT_EQ(kInDrive, nodes[nodes.size() - 2].second);
  EXPECT_EQ(document->GetTree()->GetHWND(), GetFocus()) << "the user's Add CD goes to the tree";
  EXPECT_EQ(0, notices.Count());

  EXPECT_EQ(1, application->ExecuteCommand(2000));
  ASSERT_TRUE(notices.WaitFor(1));
  EXPECT_EQ("CD Already registered: Ocean CD [ 2 Films ]", notices.LastText());
  EXPECT_EQ(nodes.size(), RootNodes().size());

  // Another CD in the drive: the Ocean CD is marked as out of it.
  dbtest::TestCDDrive river{"RIVER"};
  ASSERT_TRUE(river.Ready());
  cdDriveRoot = river.Root();
  EXPECT_EQ(1, application->ExecuteCommand(2000));
  cdDriveRoot = drive.Root();
  nodes = RootNodes();
  EXPECT_EQ(kNotInDrive, nodes[nodes.size() - 2].second);
}

// Play all registers the CD in the drive silently, then starts the engine
// without a film.
TEST_F(CDDocumentTest, PlayAllRegistersTheCDInTheDriveSilently) {
  InsertCD();
  kxtest::MessageBoxWatcher notices("CD AutoRegister", IDOK);
  CP_Message pressed(static_cast<CP_Control*>(Button(CP_FourCC("PSCR"))), 0, 0, 0);
  document->ReceiveBroadcast(pressed);
  EXPECT_EQ("", EngineArguments());
  EXPECT_EQ("Ocean CD [ 2 Films ]", SelectedLabel());
  document->ReceiveBroadcast(pressed);
  EXPECT_EQ("", EngineArguments());
  EXPECT_EQ(0, notices.Count()) << "silent, though the CD is known";
}

}  // namespace
