// Films copied and moved between the library's places, on a real CD
// database under the real main window: the tree's commands on CDs,
// locations and the wastebasket, films handed to a node (Install Selected,
// a drop), and the film named on the command line. The "CD" is a plain
// folder named by the CDDrive setting: films on it are read from there.
#include "CDDatabase.h"
#include "CP_FourCC.h"
#include "CP_Framework.h"
#include "CP_SDIApp_Document.h"
#include "CP_StatusBar.h"
#include "CP_TreeList_Application.h"
#include "CP_Window.h"
#include "DatabaseTestSupport.h"
#include "FileTestSupport.h"
#include "FrameworkFixture.h"
#include "GH_LibraryGlobals.h"
#include "GH_ListView.h"
#include "GH_PictureButton.h"
#include "GH_Resources.h"
#include "GH_TreeDirItem.h"
#include "GH_TreeTable.h"
#include "ImportPatch.h"
#include "ManagerTestSupport.h"
#include "WinTestSupport.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace {

using Texts = std::vector<std::string>;
using mgrtest::FilesIn;

// Every message box of the library, answered OK, its text kept.
class Messages {
 public:
  Texts Seen() {
    std::lock_guard<std::mutex> lock(fMutex);
    return fTexts;
  }
  // Runs on the watcher's thread while the box is up, before it is answered.
  std::function<void()> whileUp;

 private:
  void Keep(HWND box) {
    {
      std::lock_guard<std::mutex> lock(fMutex);
      fTexts.push_back(kxtest::DialogWatcher::Caption(box) + ": " + kxtest::DialogWatcher::ItemText(box, 0xFFFF));
    }
    if (whileUp) whileUp();
    kxtest::DialogWatcher::Press(box, IDOK);
  }
  std::mutex fMutex;
  Texts fTexts;
  kxtest::DialogWatcher fWatcher{"", [this](HWND box) {
                                   // The copy's own progress dialog and the folder chooser are no messages.
                                   if (GetDlgItem(box, 0xFFFF) && !kxtest::IsFolderChooser(box))
                                     Keep(box);
                                 }};
};

// The bytes of a file, or "<no file>".
std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<no file>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every film row, one line each: its place, its file and its title.
Texts FilmRows(CDDatabase& database) {
  PlaylistEntries rows;
  database.LoadItems(rows);
  Texts lines;
  for (const PlaylistEntry& row : rows)
    if (row.ITEMTYPE == kItemFilm)
      lines.push_back(std::to_string(row.ITEM_ID) + " in " + std::to_string(row.PARENT_ID) + " " + row.AliasRoot +
                      "\\" + row.FileName + " " + row.ITEMTEXT);
  return lines;
}

// Appends the head of a filler atom of `size` bytes, its own 8 included.
void AppendFillerHead(const std::string& path, uint32_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  const char header[8] = {char(size >> 24), char((size >> 16) & 0xFF), char((size >> 8) & 0xFF), char(size & 0xFF),
                          'f', 'r', 'e', 'e'};
  out.write(header, sizeof header);
}

// A film of several copy blocks: its own data, then a filler atom.
void WriteLongFilm(const std::string& path, const std::string& name,
                   const std::vector<std::pair<std::string, std::string>>& actions = {}) {
  dbtest::WriteFilm(path, {{"name", name}}, actions);
  constexpr uint32_t kFiller = 300000;
  AppendFillerHead(path, kFiller);
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << std::string(kFiller - 8, '\0');
}

// Makes a film `size` bytes long without writing the bytes: a filler atom
// covers them, and the file holds them as a hole.
void GrowFilm(const std::string& path, uint64_t size) {
  const uint64_t had = std::filesystem::file_size(path);
  AppendFillerHead(path, uint32_t(size - had));
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  LARGE_INTEGER end = {};
  end.QuadPart = LONGLONG(size);
  EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
}

// Runs `act` once from inside the copy of the named file, between two of
// its blocks: when the progress dialog showing that name moves its bar.
class DuringCopy {
 public:
  DuringCopy(std::string fileName, std::function<void(HWND dialog)> act)
      : fName(std::move(fileName)), fAct(std::move(act)) {
    sCurrent = this;
    fHook = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  }
  ~DuringCopy() {
    UnhookWindowsHookEx(fHook);
    sCurrent = nullptr;
  }
  DuringCopy(const DuringCopy&) = delete;
  DuringCopy& operator=(const DuringCopy&) = delete;

  bool Ran() const { return fRan; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sCurrent && !sCurrent->fRan && sent->message == PBM_SETPOS && sent->wParam > 0) {
      HWND dialog = GetParent(sent->hwnd);
      char name[MAX_PATH] = {};
      GetDlgItemTextA(dialog, GH_ITEM_COPY_NAME, name, sizeof name);
      if (sCurrent->fName == name) {
        sCurrent->fRan = true;
        sCurrent->fAct(dialog);
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static DuringCopy* sCurrent;
  std::string fName;
  std::function<void(HWND)> fAct;
  HHOOK fHook = nullptr;
  bool fRan = false;
};
DuringCopy* DuringCopy::sCurrent = nullptr;

// Runs `act` once, right after this test program's MoveFileA moved a file
// of the given name, as a move within one drive does: nothing shows while
// it renames.
class AfterRename {
 public:
  AfterRename(std::string fileName, std::function<void()> act) : fName(std::move(fileName)), fAct(std::move(act)) {
    sCurrent = this;
  }
  ~AfterRename() { sCurrent = nullptr; }
  AfterRename(const AfterRename&) = delete;
  AfterRename& operator=(const AfterRename&) = delete;

  bool Ran() const { return fRan; }

 private:
  static BOOL WINAPI Move(LPCSTR from, LPCSTR to) {
    const BOOL moved = reinterpret_cast<decltype(&MoveFileA)>(sCurrent->fPatch.Original())(from, to);
    const std::string target = to;
    const size_t slash = target.find_last_of('\\');
    if (moved && !sCurrent->fRan && target.substr(slash + 1) == sCurrent->fName) {
      sCurrent->fRan = true;
      sCurrent->fAct();
    }
    return moved;
  }

  static AfterRename* sCurrent;
  std::string fName;
  std::function<void()> fAct;
  kxtest::ImportPatch fPatch{"kernel32.dll", "MoveFileA", reinterpret_cast<void*>(&Move)};
  bool fRan = false;
};
AfterRename* AfterRename::sCurrent = nullptr;

void CancelCopy(HWND dialog) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(GetDlgItem(dialog, IDCANCEL)));
}

// A film file held open, as the engine holds the film it plays.
class HeldOpen {
 public:
  explicit HeldOpen(const std::string& path)
      : fHandle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~HeldOpen() {
    if (fHandle != INVALID_HANDLE_VALUE) CloseHandle(fHandle);
  }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
  bool Held() const { return fHandle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE fHandle;
};

// Answers Edit Location's folder chooser with this folder; an empty one
// cancels.
std::unique_ptr<kxtest::DialogWatcher> ChooserPicking(const std::string& folder) {
  return std::make_unique<kxtest::DialogWatcher>("", [folder](HWND dialog) {
    if (!kxtest::IsFolderChooser(dialog)) return;
    const bool chosen = !folder.empty() && kxtest::SelectChooserFolder(dialog, folder);
    kxtest::DialogWatcher::Press(dialog, chosen ? IDOK : IDCANCEL);
  });
}

struct EditCase;

// The library as the cases find it: the films folder with one film, a
// location "Archive" with one film, a CD with one film (its file on the "CD"
// folder) and a wastebasket holding one film of the films folder. The
// folders stay for the whole test; BuildLibrary makes fresh tables and puts
// the files back.
class FilmCopyTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    mainWindowTitle = "Glintharbour Player " + std::to_string(GetCurrentProcessId());
    for (const char* key : {"LastWindowX", "LastWindowY", "MainWindow_W", "MainWindow_H", "QTPaneHeight",
                            "EmptyWasteBasket", "ScreenSize"})
      WritePrivateProfileStringA(kIniSection, key, nullptr, kIniFile);
    films = Folder("films");
    archive = Folder("archive");
    cd = Folder("cd");
    moved = Folder("moved");
    // A drive letter of its own: a location moved there is copied.
    otherDrive = std::make_unique<dbtest::TestCDDrive>("");
    ASSERT_TRUE(otherDrive->Ready());
    other = otherDrive->Root().substr(0, 2);
    WritePrivateProfileStringA(kIniSection, "CDDrive", (cd + "\\").c_str(), kIniFile);
    BuildLibrary();
  }

  std::string Folder(const std::string& name) {
    std::filesystem::create_directories(place.File(name));
    return place.File(name);
  }

  void BuildLibrary() {
    tables.reset();  // first: each folder of tables puts back the settings file it found
    tables = std::make_unique<dbtest::TableFolder>(dbtest::Seed::Installation);
    for (const std::string& folder : {films, archive, cd, moved, other + "\\"})
      for (const std::string& name : FilesIn(folder)) {
        const std::string path = folder + (folder.back() == '\\' ? "" : "\\") + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    dbtest::WriteFilm(films + "\\harbour.flm", {{"name", "Harbour Lights"}}, {});
    dbtest::WriteFilm(films + "\\old.flm", {{"name", "Old Film"}}, {});
    dbtest::WriteFilm(archive + "\\gull.flm", {{"name", "Gull"}}, {});
    dbtest::WriteFilm(cd + "\\reef.flm", {{"name", "Reef"}}, {{"diver", "playQT(Track=\"3\")"}});

    CDDatabase database("Config Tool");
    ASSERT_FALSE(database.UpdateDriveRecord(dbtest::Drive(1, filmsFolderAlias, filmsFolderAlias, films)));
    ASSERT_EQ(0, C4AppendStart(database.DriveTable(), 1));
    database.WriteDriveRecord(dbtest::Drive(2, "Archive", "Archive", archive));
    ASSERT_EQ(0, C4Append(database.DriveTable()));
    C4Flush(database.DriveTable());

    filmsId = database.ItemIdByAliasRoot(filmsFolderAlias);
    Append(database, Row("Harbour Lights", filmsFolderAlias, filmsId, 2, "harbour.flm"));
    Append(database, Row("Old Film", filmsFolderAlias, kWastebasketId, 2, "old.flm"));
    PlaylistEntry location = Row("Archive", "Archive", 0, 2, "");
    location.ITEMTYPE = kItemLocation;
    archiveId = Append(database, location);
    Append(database, Row("Gull", "Archive", archiveId, 2, "gull.flm"));
    PlaylistEntry cdRow = Row("Coast CD", "Coast CD", 0, 1, "");
    cdRow.ITEMTYPE = kItemCD;
    cdId = Append(database, cdRow);
    reefId = Append(database, Row("Reef", "Coast CD", cdId, 1, "reef.flm"));
  }

  static int32_t Append(CDDatabase& database, PlaylistEntry row) {
    EXPECT_FALSE(database.AppendItem(row, true));
    return row.ITEM_ID;
  }

  void TearDown() override {
    Stop();
    gCP_CommandLine = "";
    itemList.clear();
    tables.reset();
    otherDrive.reset();
    fullDrive.reset();
    FrameworkTest::TearDown();
  }

  static PlaylistEntry Row(const std::string& text, const std::string& alias, int32_t parent, int32_t parentType,
                           const std::string& fileName) {
    PlaylistEntry row = dbtest::Film(text, alias, parent, fileName);
    row.PARENTTYPE = parentType;
    return row;
  }

  void Start() {
    application = std::make_unique<CP_TreeList_Application>();
    application->CreateMenuBar();
    application->InstallMenuBar();
    document = application->GetLibraryDocument();
    ASSERT_NE(nullptr, document);
    kxtest::PumpUntil([] { return false; }, 100);
  }
  void Stop() {
    if (application) application->Quit();
    application.reset();
    document = nullptr;
  }

  GH_TreeDirItem* Node(int32_t id) const {
    return dynamic_cast<GH_TreeDirItem*>(document->GetTree()->FindRootItemById(id));
  }

  PlaylistEntry Record(int32_t id) const {
    PlaylistEntry row;
    row.ITEM_ID = id;
    EXPECT_FALSE(cdDatabase->FindItem(row)) << id;
    return row;
  }

  // The films under a node, as the table holds them.
  Texts FilmsUnder(int32_t parent) const {
    PlaylistEntries rows;
    cdDatabase->LoadItems(rows);
    Texts texts;
    for (const PlaylistEntry& row : rows)
      if (row.PARENT_ID == parent && row.ITEMTYPE == kItemFilm) texts.push_back(row.ITEMTEXT);
    return texts;
  }

  Texts ListTexts() const {
    Texts texts;
    GH_ListView* list = document->GetFilmList();
    for (int16_t n = 1; n <= list->CountItems(); ++n) texts.push_back(list->GetItem(n)->data.text);
    return texts;
  }

  std::string StatusText() const {
    char text[512] = {};
    SendMessageA(document->GetStatusBar()->GetHWND(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
  }

  void ClickNode(CP_TreeTableItem* node) const {
    RECT rect = {};
    const HTREEITEM handle = node->GetHandle();
    std::memcpy(&rect, &handle, sizeof handle);
    HWND tree = document->GetTree()->GetHWND();
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    PostMessageA(tree, WM_LBUTTONUP, 0, at);
    SendMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    kxtest::PumpUntil([] { return false; }, 50);
  }

  // Selects the list's rows with these titles, as Ctrl-clicks would.
  void SelectRows(const Texts& titles) const {
    HWND list = document->GetFilmList()->GetHWND();
    const Texts shown = ListTexts();
    for (size_t n = 0; n < shown.size(); ++n) {
      LVITEMA item = {};
      item.stateMask = LVIS_SELECTED;
      item.state = std::find(titles.begin(), titles.end(), shown[n]) != titles.end() ? LVIS_SELECTED : 0;
      SendMessageA(list, LVM_SETITEMSTATE, WPARAM(n), reinterpret_cast<LPARAM>(&item));
    }
  }

  // Films of one node dropped on another, as the tree hands them over.
  void Drop(int32_t from, const Texts& titles, int32_t to) const {
    ClickNode(Node(from));
    SelectRows(titles);
    Node(to)->ReceiveMessage(0, CP_Point(int16_t(0), int16_t(0)));
  }

  std::string DrivePath(const std::string& label) const {
    DriveRecord drive;
    drive.LABEL = label;
    EXPECT_FALSE(cdDatabase->FindDriveRecord(drive)) << label;
    return drive.PATH;
  }

  // Runs Edit Location on each case's library, picking its folder.
  void EditLocations(const std::vector<EditCase>& cases);

  // A folder on a drive of its own that has no free space at all.
  std::string FullFolder() {
    if (!fullDrive) fullDrive = std::make_unique<dbtest::TestCDDrive>("", "/proc");
    EXPECT_TRUE(fullDrive->Ready());
    return fullDrive->Root() + "sys";
  }

  void PressInstallSelected() const {
    auto* button =
        dynamic_cast<GH_PictureButton*>(document->GetWindow()->FindSubPaneById(int32_t(CP_FourCC("INSM")), true));
    ASSERT_NE(nullptr, button);
    CP_Message pressed(static_cast<CP_Control*>(button), 0, 0, 0);
    document->ReceiveBroadcast(pressed);
  }

  // Another program takes the location's drive row out of the library.
  void DeleteDriveRow(const std::string& label) const {
    CDDatabase other("Other");
    dbtest::RemoveRow(other.DriveTable(), label);
  }

  // Marks tables of the library (names without extension) read-only.
  std::function<void()> ReadOnlyTables(const Texts& names) {
    return [this, names] {
      for (const std::string& name : names)
        SetFileAttributesA((tables->Path() + "\\" + name + ".dbf").c_str(), FILE_ATTRIBUTE_READONLY);
    };
  }

  TempDir place;
  std::vector<std::unique_ptr<HeldOpen>> holds;  // files a case holds open until its edit is done
  std::unique_ptr<dbtest::TestCDDrive> otherDrive;
  std::unique_ptr<dbtest::TestCDDrive> fullDrive;
  std::unique_ptr<dbtest::TableFolder> tables;
  std::string films, archive, cd, moved, other;
  int32_t filmsId = 0, archiveId = 0, cdId = 0, reefId = 0;
  std::unique_ptr<CP_TreeList_Application> application;
  CP_SDIApp_Document* document = nullptr;
};

// ---------------------------------------------------------------------------
// The tree's commands

TEST_F(FilmCopyTest, TreeCommandsLeaveTheirRowsFilesAndList) {
  // Each case runs on the library as SetUp made it, with the program
  // started afresh.
  struct Case {
    const char* name;
    int32_t command;
    char node;                // 'c' the CD, 'a' Archive, 'w' the wastebasket
    std::string chosen;       // the folder picked for Edit Location; empty cancels
    bool lockOldFilm;         // the wastebasket's film read-only
    Texts cdFilms, archiveFilms, wastebasket, filmsFolder, list;
    Texts files;              // paths that must exist afterwards
    Texts gone;               // paths that must not
    Texts messages;
    std::string archivePath;  // the Archive drive row's PATH afterwards
  };
  const Case cases[] = {
      {"delete CD", GH_TreeDirItem::kCmdDeleteCD, 'c', "", false, {}, {"Gull"}, {"Old Film"},
       {"Harbour Lights"}, {}, {cd + "\\reef.flm"}, {}, {}, archive},
      {"empty wastebasket", GH_TreeDirItem::kCmdEmptyWastebasket, 'w', "", false, {"Reef"}, {"Gull"}, {},
       {"Harbour Lights"}, {}, {films + "\\harbour.flm"}, {films + "\\old.flm"}, {}, archive},
      {"empty wastebasket, film read-only", GH_TreeDirItem::kCmdEmptyWastebasket, 'w', "", true, {"Reef"},
       {"Gull"}, {"Old Film"}, {"Harbour Lights"}, {"Old Film"}, {films + "\\old.flm"}, {},
       {"Glintharbour KX: These movies could not be deleted and stay in the Wastebasket:\r\nOld Film"}, archive},
      {"edit location, chooser cancelled", GH_TreeDirItem::kCmdEditLocation, 'a', "", false, {"Reef"}, {"Gull"},
       {"Old Film"}, {"Harbour Lights"}, {"Gull"}, {archive + "\\gull.flm"}, {}, {}, archive},
      {"edit location, same drive", GH_TreeDirItem::kCmdEditLocation, 'a', moved, false, {"Reef"}, {"Gull"},
       {"Old Film"}, {"Harbour Lights"}, {"Gull"}, {moved + "\\gull.flm"}, {archive + "\\gull.flm"}, {},
       moved + "\\"},
      {"edit location, other drive", GH_TreeDirItem::kCmdEditLocation, 'a', other + "\\", false, {"Reef"}, {"Gull"},
       {"Old Film"}, {"Harbour Lights"}, {"Gull"}, {other + "\\gull.flm", archive + "\\gull.flm"}, {}, {},
       other + "\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BuildLibrary();
    if (c.lockOldFilm) SetFileAttributesA((films + "\\old.flm").c_str(), FILE_ATTRIBUTE_READONLY);
    Start();
    GH_TreeDirItem* node = Node(c.node == 'c' ? cdId : c.node == 'a' ? archiveId : kWastebasketId);
    ASSERT_NE(nullptr, node);
    ClickNode(node);
    const PlaylistEntry record =
        c.node == 'w' ? Row("Wastebasket", "", 0, 5, "") : Record(node->GetIdentifier());
    Messages messages;
    kxtest::DialogWatcher chooser("", [&](HWND dialog) {
      if (!kxtest::IsFolderChooser(dialog)) return;
      const bool chosen = !c.chosen.empty() && kxtest::SelectChooserFolder(dialog, c.chosen);
      kxtest::DialogWatcher::Press(dialog, chosen ? IDOK : IDCANCEL);
    });
    node->ExecuteTreeItemCommand(c.command, record);
    kxtest::PumpUntil([] { return false; }, 200);

    EXPECT_EQ(c.cdFilms, FilmsUnder(cdId));
    EXPECT_EQ(c.archiveFilms, FilmsUnder(archiveId));
    EXPECT_EQ(c.wastebasket, FilmsUnder(kWastebasketId));
    EXPECT_EQ(c.filmsFolder, FilmsUnder(filmsId));
    if (c.command != GH_TreeDirItem::kCmdDeleteCD) {
      EXPECT_EQ(c.list, ListTexts());
    }
    EXPECT_EQ(c.command != GH_TreeDirItem::kCmdDeleteCD, Node(cdId) != nullptr);
    for (const std::string& file : c.files) EXPECT_TRUE(dbtest::FileExists(file)) << file;
    for (const std::string& file : c.gone) EXPECT_FALSE(dbtest::FileExists(file)) << file;
    EXPECT_EQ(c.messages, messages.Seen());
    DriveRecord drive;
    drive.LABEL = "Archive";
    EXPECT_FALSE(cdDatabase->FindDriveRecord(drive));
    EXPECT_EQ(c.archivePath, drive.PATH);
    if (c.command == GH_TreeDirItem::kCmdEditLocation) {
      EXPECT_EQ("Glintharbour Films can be found at the following location : \"" + films + "\"", StatusText());
    }
    Stop();
  }
}

// Edit Location scans the folders afterwards whatever the edit did: a film
// that appeared in the films folder is recorded, one whose file went is
// forgotten.
TEST_F(FilmCopyTest, EditLocationReadsTheFoldersAfresh) {
  Start();
  dbtest::WriteFilm(films + "\\dawn.flm", {{"name", "Dawn Run"}}, {});
  DeleteFileA((films + "\\harbour.flm").c_str());
  kxtest::DialogWatcher chooser("", [](HWND dialog) {
    if (FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr)) kxtest::DialogWatcher::Press(dialog, IDCANCEL);
  });
  Node(filmsId)->ExecuteTreeItemCommand(GH_TreeDirItem::kCmdEditLocation, Record(filmsId));
  ASSERT_EQ(1u, FilmsUnder(filmsId).size());
  EXPECT_EQ(0u, FilmsUnder(filmsId)[0].find("Dawn Run"));
  ASSERT_EQ(1u, ListTexts().size());
  EXPECT_EQ(0u, ListTexts()[0].find("Dawn Run"));
}

// ---------------------------------------------------------------------------
// Films handed to a node

TEST_F(FilmCopyTest, InstallSelectedCopiesACDFilmIntoTheFilmsFolder) {
  Start();
  ClickNode(Node(cdId));
  ASSERT_EQ(Texts{"Reef"}, ListTexts());
  SelectRows({"Reef"});
  Messages messages;
  PressInstallSelected();

  EXPECT_TRUE(messages.Seen().empty());
  EXPECT_TRUE(dbtest::FileExists(films + "\\reef.flm"));
  EXPECT_TRUE(dbtest::FileExists(cd + "\\reef.flm"));
  EXPECT_EQ(Texts{"Reef"}, FilmsUnder(cdId)) << "the CD's row stays";
  EXPECT_EQ((Texts{"Harbour Lights", "Reef"}), FilmsUnder(filmsId));
  PlaylistEntries rows;
  cdDatabase->LoadItems(rows);
  const PlaylistEntry& copy = rows.back();
  EXPECT_EQ(kItemLocation, copy.PARENTTYPE);
  EXPECT_EQ(filmsFolderAlias, copy.AliasRoot);
  EXPECT_EQ("reef.flm", copy.FileName);
  const std::vector<dbtest::RawRow> actions = dbtest::RawRows(tables->Path(), "GH_ActionDB");
  ASSERT_FALSE(actions.empty());
  EXPECT_EQ("diver", actions.back().fields.at("SPRITE"));
  EXPECT_EQ(filmsFolderAlias, actions.back().fields.at("ALIASROOT"));
  // The list shows again where the films came from.
  EXPECT_EQ(Texts{"Reef"}, ListTexts());

  // Again: the films folder has the film already.
  SelectRows({"Reef"});
  PressInstallSelected();
  EXPECT_EQ(Texts{"Glintharbour KX: Reef is already Installed."}, messages.Seen());
  EXPECT_EQ(2u, FilmsUnder(filmsId).size());
}

// The tree scrolled down past the films folder's node: the films still go
// to the films folder, not to the node at the top of the tree.
TEST_F(FilmCopyTest, InstallSelectedGoesToTheFilmsFolderInAScrolledTree) {
  {
    CDDatabase database("Config Tool");
    for (int n = 1; n <= 40; ++n) {
      PlaylistEntry other = Row("Shelf CD " + std::to_string(n), "Shelf CD " + std::to_string(n), 0, 1, "");
      other.ITEMTYPE = kItemCD;
      Append(database, other);
    }
  }
  Start();
  ClickNode(Node(cdId));
  ASSERT_EQ(Texts{"Reef"}, ListTexts());
  SelectRows({"Reef"});
  HWND tree = document->GetTree()->GetHWND();
  SendMessageA(tree, WM_VSCROLL, SB_BOTTOM, 0);
  const LPARAM top = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
  ASSERT_NE(reinterpret_cast<LPARAM>(Node(filmsId)->GetHandle()), top) << "the films folder's node scrolled away";
  Messages messages;
  PressInstallSelected();

  EXPECT_TRUE(messages.Seen().empty());
  EXPECT_TRUE(dbtest::FileExists(films + "\\reef.flm"));
  EXPECT_EQ(Texts{"Reef"}, FilmsUnder(cdId));
  EXPECT_EQ((Texts{"Harbour Lights", "Reef"}), FilmsUnder(filmsId));
  PlaylistEntries rows;
  cdDatabase->LoadItems(rows);
  for (const PlaylistEntry& row : rows) {
    if (row.ITEMTEXT == "Reef") {
      EXPECT_TRUE(row.PARENT_ID == filmsId || row.PARENT_ID == cdId) << row.PARENT_ID;
    }
  }
}

// Each way a copy can fail is told with the film's title, and neither a row
// nor a file is added for it.
TEST_F(FilmCopyTest, AFailedCopyIsToldAndRecordsNothing) {
  int32_t lostId = 0;  // a location without a drive row
  auto addLostPlace = [&](bool withFilm) {
    CDDatabase database("Config Tool");
    PlaylistEntry location = Row("Lost Place", "Lost Place", 0, 2, "");
    location.ITEMTYPE = kItemLocation;
    lostId = Append(database, location);
    if (withFilm) Append(database, Row("Stray", "Lost Place", lostId, 2, "stray.flm"));
  };
  auto setDrivePath = [](const std::string& label, const std::string& path) {
    CDDatabase database("Config Tool");
    DriveRecord drive;
    drive.LABEL = label;
    ASSERT_FALSE(database.FindDriveRecord(drive));
    drive.PATH = path;
    ASSERT_FALSE(database.UpdateDriveRecord(drive));
  };
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::function<void(HWND)> duringCopy;  // none when empty
    char from;                             // 'c' the CD, 'l' the location without drive row
    std::string title;
    char to;                               // 'f' the films folder, 'a' Archive, 'l' the location without drive row
    std::string message;
    std::string reefLeft;                  // the films folder's reef.flm afterwards
  };
  const std::string intl = "Glintharbour International: ";
  const std::string noRoot = "Glintharbour KX: Cannot find root drive Lost Place. Please make sure drive is "
                             "configured correctly.";
  const Case cases[] = {
      {"source missing", [&] { DeleteFileA((cd + "\\reef.flm").c_str()); }, nullptr, 'c', "Reef", 'f',
       intl + "Source file for movie Reef not found.", "<no file>"},
      {"folder missing", [&] { setDrivePath(filmsFolderAlias, films + "\\gone"); }, nullptr, 'c', "Reef", 'f',
       intl + "Copy failed for movie \"Reef\". Check that the directory " + films + "\\gone exists.", "<no file>"},
      {"another film turns up while copying", [&] { WriteLongFilm(cd + "\\reef.flm", "Reef"); },
       [&](HWND) { dbtest::WriteFile(films + "\\reef.flm", "another film"); }, 'c', "Reef", 'f',
       intl + "Movie \"Reef\" was not copied: the directory " + films + "\\ already holds a file named reef.flm.",
       "another film"},
      {"no room", [&] { setDrivePath("Archive", FullFolder()); }, nullptr, 'c', "Reef", 'a',
       intl + "Not enough space available on the destination drive for movie: Reef", "<no file>"},
      {"cancelled", [&] { WriteLongFilm(cd + "\\reef.flm", "Reef"); }, CancelCopy, 'c', "Reef", 'f',
       intl + "File copy for movie Reef cancelled by the user", "<no file>"},
      {"a name that leaves its folder",
       [&] {
         CDDatabase database("Config Tool");
         Append(database, Row("Escape", "Coast CD", cdId, 1, "..\\escape.flm"));
       },
       nullptr, 'c', "Escape", 'f', intl + "Undefined error while copying movie: Escape", "<no file>"},
      {"no drive row for the target", [&] { addLostPlace(false); }, nullptr, 'c', "Reef", 'l', noRoot, "<no file>"},
      {"no drive row for the source", [&] { addLostPlace(true); }, nullptr, 'l', "Stray", 'f', noRoot, "<no file>"},
  };
  auto node = [&](char which) { return which == 'c' ? cdId : which == 'a' ? archiveId : which == 'l' ? lostId : filmsId; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BuildLibrary();
    c.arrange();
    Start();
    const Texts rows = FilmRows(*cdDatabase);
    Messages messages;
    std::unique_ptr<DuringCopy> during;
    if (c.duringCopy) during = std::make_unique<DuringCopy>("reef.flm", c.duringCopy);
    Drop(node(c.from), {c.title}, node(c.to));
    if (during) {
      EXPECT_TRUE(during->Ran());
    }
    EXPECT_EQ(Texts{c.message}, messages.Seen());
    EXPECT_EQ(rows, FilmRows(*cdDatabase));
    EXPECT_TRUE(c.reefLeft == Bytes(films + "\\reef.flm"));
    Texts left = {"harbour.flm", "old.flm"};
    if (c.reefLeft != "<no file>") left.push_back("reef.flm");
    EXPECT_EQ(left, FilesIn(films)) << "no half copy is left";
    EXPECT_EQ(Texts{"gull.flm"}, FilesIn(archive));
    Stop();
  }
}

// A film whose file name is taken where it would go stays where it is, and
// so does the other film's file: a copy or a move never replaces it.
TEST_F(FilmCopyTest, ATakenFileNameStopsTheFilmAndKeepsTheOtherFilmsFile) {
  struct Case {
    const char* name;
    bool fromCommandLine;
    std::function<void()> act;
    std::string taken;  // the other film's file
    bool readOnly;
    std::string message;
  };
  const std::string notCopied = "Glintharbour International: Movie \"";
  const std::string notMoved = "\r\n\r\nThe location was not moved.";
  int32_t nightId = 0;
  auto editArchive = [&](const std::string& folder) {
    auto chooser = ChooserPicking(folder);
    Node(archiveId)->ExecuteTreeItemCommand(GH_TreeDirItem::kCmdEditLocation, Record(archiveId));
  };
  const Case cases[] = {
      {"install selected from a CD", false,
       [&] {
         ClickNode(Node(cdId));
         SelectRows({"Harbour Night"});
         PressInstallSelected();
       },
       films + "\\harbour.flm", false,
       notCopied + "Harbour Night\" was not copied: the directory " + films +
           "\\ already holds a file named harbour.flm."},
      {"install selected onto a read-only file", false,
       [&] {
         ClickNode(Node(cdId));
         SelectRows({"Harbour Night"});
         PressInstallSelected();
       },
       films + "\\harbour.flm", true,
       notCopied + "Harbour Night\" was not copied: the directory " + films +
           "\\ already holds a file named harbour.flm."},
      {"drop from another location", false, [&] { Drop(archiveId, {"Harbour Dusk"}, filmsId); },
       films + "\\harbour.flm", false,
       notCopied + "Harbour Dusk\" was not copied: the directory " + films +
           "\\ already holds a file named harbour.flm."},
      {"the command line", true, [] {}, films + "\\harbour.flm", false,
       notCopied + "Harbour Night\" was not copied: the directory " + films +
           "\\ already holds a file named harbour.flm."},
      {"edit location, same drive", false, [&] { editArchive(moved); }, moved + "\\gull.flm", false,
       "Glintharbour KX3: Movie \"Gull\" cannot be moved: the directory " + moved +
           "\\ already holds a file named gull.flm." + notMoved},
      {"edit location, other drive", false, [&] { editArchive(other + "\\"); }, other + "\\gull.flm", false,
       "Glintharbour KX3: Movie \"Gull\" cannot be moved: the directory " + other +
           "\\ already holds a file named gull.flm." + notMoved},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BuildLibrary();
    Texts rows;
    {
      CDDatabase database("Config Tool");
      dbtest::WriteFilm(cd + "\\harbour.flm", {{"name", "Harbour Night"}}, {});
      nightId = Append(database, Row("Harbour Night", "Coast CD", cdId, 1, "harbour.flm"));
      dbtest::WriteFilm(archive + "\\harbour.flm", {{"name", "Harbour Dusk"}}, {});
      Append(database, Row("Harbour Dusk", "Archive", archiveId, 2, "harbour.flm"));
      rows = FilmRows(database);
    }
    dbtest::WriteFile(moved + "\\gull.flm", "someone else's film");
    dbtest::WriteFile(other + "\\gull.flm", "someone else's film");
    const std::string takenBytes = Bytes(c.taken);
    if (c.readOnly) SetFileAttributesA(c.taken.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string commandLine = std::to_string(nightId);
    if (c.fromCommandLine) gCP_CommandLine = commandLine.c_str();
    Messages messages;
    Start();
    c.act();

    EXPECT_EQ(Texts{c.message}, messages.Seen());
    EXPECT_TRUE(Bytes(c.taken) == takenBytes) << "the other film's file is as it was";
    EXPECT_EQ(c.readOnly, (GetFileAttributesA(c.taken.c_str()) & FILE_ATTRIBUTE_READONLY) != 0);
    EXPECT_EQ(rows, FilmRows(*cdDatabase));
    EXPECT_EQ(archive, DrivePath("Archive"));
    for (const std::string& file : {cd + "\\harbour.flm", archive + "\\harbour.flm", archive + "\\gull.flm"})
      EXPECT_TRUE(dbtest::FileExists(file)) << file;
    Stop();
    gCP_CommandLine = "";
  }
}

// Edit Location takes every film file of the location along, those of its
// films in the wastebasket too, or none: a film that cannot go stops the
// move, the files that went come back and the location stays. The cases
// are split in several tables: Wine's folder chooser takes seconds each time.
struct EditCase {
  const char* name;
  char node;           // 'a' Archive, 'f' the films folder
  std::string chosen;  // the folder picked; "full" a folder of a full drive
  bool holdTern;       // Tern held open, as the engine playing it holds it
  bool cancelTern;     // Tern's copy cancelled
  std::string message; // "<tables>" stands for the tables' folder
  std::string path;    // the location's PATH afterwards; "<no row>" when it has none
  Texts oldFiles;      // what its old folder holds afterwards
  Texts newFiles;      // what the chosen folder holds afterwards
  std::function<void()> arrange = nullptr;  // before the program starts
  std::string during = "";                  // the file during whose copy `act` runs
  std::function<void(HWND dialog)> act = nullptr;
  bool restart = false;  // the library is looked at again after a restart
  std::string foreign = "";  // a file someone else put in the new folder, kept as it was
  std::function<void()> afterRename = nullptr;  // runs once `during` was renamed (same drive)
};

// Archive holds Gull, Tern (several copy blocks long) and, in the
// wastebasket, Puffin.
void FilmCopyTest::EditLocations(const std::vector<EditCase>& cases) {
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    BuildLibrary();
    Texts rows;
    {
      CDDatabase database("Config Tool");
      WriteLongFilm(archive + "\\tern.flm", "Tern");
      Append(database, Row("Tern", "Archive", archiveId, 2, "tern.flm"));
      dbtest::WriteFilm(archive + "\\puffin.flm", {{"name", "Puffin"}}, {});
      Append(database, Row("Puffin", "Archive", kWastebasketId, 2, "puffin.flm"));
      rows = FilmRows(database);
    }
    if (c.arrange) c.arrange();
    const std::string chosen = c.chosen == "full" ? FullFolder() : c.chosen;
    const int32_t id = c.node == 'a' ? archiveId : filmsId;
    const std::string label = c.node == 'a' ? "Archive" : filmsFolderAlias;
    const std::string oldFolder = c.node == 'a' ? archive : films;
    if (c.holdTern) {
      holds.push_back(std::make_unique<HeldOpen>(archive + "\\tern.flm"));
      ASSERT_TRUE(holds.back()->Held());
    }
    Start();
    Messages messages;
    std::unique_ptr<DuringCopy> during;
    if (c.cancelTern) during = std::make_unique<DuringCopy>("tern.flm", CancelCopy);
    if (c.act) during = std::make_unique<DuringCopy>(c.during, c.act);
    std::unique_ptr<AfterRename> renamed;
    if (c.afterRename) renamed = std::make_unique<AfterRename>(c.during, c.afterRename);
    {
      auto chooser = ChooserPicking(chosen);
      Node(id)->ExecuteTreeItemCommand(GH_TreeDirItem::kCmdEditLocation, Record(id));
    }
    holds.clear();

    if (c.act) {
      EXPECT_TRUE(during->Ran());
    }
    if (c.afterRename) {
      EXPECT_TRUE(renamed->Ran());
    }
    std::string message = c.message;
    const size_t at = message.find("<tables>");
    if (at != std::string::npos) message.replace(at, 8, tables->Path());
    EXPECT_EQ(message.empty() ? Texts{} : Texts{message}, messages.Seen());
    auto libraryAsItShouldBe = [&] {
      DriveRecord drive;
      drive.LABEL = label;
      EXPECT_EQ(c.path, cdDatabase->FindDriveRecord(drive) ? "<no row>" : drive.PATH);
      EXPECT_EQ(rows, FilmRows(*cdDatabase)) << "no row is lost";
    };
    libraryAsItShouldBe();
    EXPECT_EQ(c.oldFiles, FilesIn(oldFolder));
    if (c.chosen != "full") {
      EXPECT_EQ(c.newFiles, FilesIn(chosen)) << "nothing is left of a move that did not happen";
    }
    if (!c.foreign.empty()) {
      EXPECT_EQ("someone else's film", Bytes(c.foreign));
    }
    if (c.restart) {
      SCOPED_TRACE("after a restart");
      Stop();
      Start();
      libraryAsItShouldBe();
      EXPECT_EQ(c.oldFiles, FilesIn(oldFolder));
    }
    Stop();
    for (const std::string& name : FilesIn(tables->Path()))
      SetFileAttributesA((tables->Path() + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

const Texts kArchiveFiles = {"gull.flm", "puffin.flm", "tern.flm"};
const char kNotMoved[] = "\r\n\r\nThe location was not moved.";

TEST_F(FilmCopyTest, EditLocationTakesEveryFilmAlong) {
  const Texts kept = {"puffin.flm", "tern.flm"};
  EditLocations({
      {"same drive", 'a', moved, false, false, "", moved + "\\", {}, kArchiveFiles},
      {"other drive", 'a', other + "\\", false, false, "", other + "\\", kArchiveFiles, kArchiveFiles},
      {"the films folder", 'f', moved, false, false, "", moved + "\\", {}, {"harbour.flm", "old.flm"}},
      {"other drive, one film's file already gone", 'a', other + "\\", false, false, "", other + "\\", kept, kept,
       [this] { DeleteFileA((archive + "\\gull.flm").c_str()); }},
  });
}

TEST_F(FilmCopyTest, EditLocationStoppedByOneFilmMovesNone) {
  EditLocations({
      {"same drive, a film held open", 'a', moved, true, false,
       "Glintharbour KX3: Movie \"Tern\" could not be moved to the directory " + moved + "\\." + kNotMoved,
       archive, kArchiveFiles, {}},
      {"other drive, a film held open", 'a', other + "\\", true, false,
       std::string("Glintharbour KX3: Movie \"Tern\" cannot be read.") + kNotMoved, archive, kArchiveFiles, {}},
      {"other drive, a copy cancelled", 'a', other + "\\", false, true,
       std::string("Glintharbour KX3: File copy for movie Tern cancelled by the user") + kNotMoved, archive,
       kArchiveFiles, {}},
  });
}

TEST_F(FilmCopyTest, EditLocationToItsOwnFolderOrAFullDriveMovesNothing) {
  const std::string noRoom = "Glintharbour KX3: Not enough disk space available for the operation.\r\n\r\nSorry!";
  EditLocations({
      {"the same folder", 'a', archive, false, false, "", archive + "\\", kArchiveFiles, kArchiveFiles},
      {"no room on the other drive", 'a', "full", false, false, noRoom, archive, kArchiveFiles, {}},
      // Its size read as 32 signed bits would be below zero.
      {"a film of 2 GB and more, no room on the other drive", 'a', "full", false, false, noRoom, archive,
       kArchiveFiles, {}, [this] { GrowFilm(archive + "\\tern.flm", 0x90000000ull); }},
  });
}

// The location's row is found writable before anything moves: a library
// whose drive table cannot be written keeps its films where it has them,
// and no film row is lost, then or at the next start.
TEST_F(FilmCopyTest, EditLocationOnALibraryThatCannotBeWrittenMovesNothing) {
  const std::string notWritable = "Glintharbour KX3: The library's table GH_DriveDB.dbf in the folder \"<tables>\" "
                                  "cannot be written (it is read-only)." + std::string(kNotMoved);
  EditLocations({
      {"the drive table, the films folder on its drive", 'f', moved, false, false, notWritable, films,
       {"harbour.flm", "old.flm"}, {}, ReadOnlyTables({"GH_DriveDB"}), "", nullptr, true},
      {"both tables, another drive", 'a', other + "\\", false, false, notWritable, archive, kArchiveFiles, {},
       ReadOnlyTables({"GH_DriveDB", "GH_ConfigDB"}), "", nullptr, true},
      // The films' rows do not name the folder: the location moves.
      {"only the item table", 'a', moved, false, false, "", moved + "\\", {}, kArchiveFiles,
       ReadOnlyTables({"GH_ConfigDB"}), "", nullptr, true},
  });
}

// A move to another drive that cannot finish takes back the copies it
// made, and only those; a copy it cannot take back is named, with where
// it is.
TEST_F(FilmCopyTest, EditLocationThatCannotFinishTakesBackOnlyItsOwnCopies) {
  const std::string stray = other + "\\tern.flm";
  EditLocations({
      {"the row taken out of the library while copying", 'a', other + "\\", false, false,
       "Glintharbour KX3: The library's table GH_DriveDB.dbf holds no entry Archive for the location." +
           std::string(kNotMoved),
       "<no row>", kArchiveFiles, {}, nullptr, "tern.flm", [this](HWND) { DeleteDriveRow("Archive"); }},
      {"a copy held open when the move is undone", 'a', other + "\\", false, false,
       "Glintharbour KX3: File copy for movie Tern cancelled by the user\r\n\r\nThese copies could not be removed; "
       "the movies themselves are still in the directory " +
           archive + "\\:\r\nGull (" + other + "\\gull.flm)" + kNotMoved,
       archive, kArchiveFiles, {"gull.flm"}, nullptr, "tern.flm",
       [this](HWND dialog) {
         holds.push_back(std::make_unique<HeldOpen>(other + "\\gull.flm"));
         CancelCopy(dialog);
       }},
      {"a file turning up under a film's name", 'a', other + "\\", false, false,
       "Glintharbour KX3: Movie \"Tern\" cannot be moved: the directory " + other +
           "\\ already holds a file named tern.flm." + kNotMoved,
       archive, kArchiveFiles, {"tern.flm"}, nullptr, "gull.flm",
       [stray](HWND) { dbtest::WriteFile(stray, "someone else's film"); }, false, stray},
  });
}

// The same within one drive, where the files are renamed: the renames are
// undone, and a film that cannot go back is named with where it is.
TEST_F(FilmCopyTest, EditLocationWithinADriveThatCannotFinishRenamesTheFilmsBack) {
  const std::string noRow = "Glintharbour KX3: The library's table GH_DriveDB.dbf holds no entry Archive for the "
                            "location.";
  EditLocations({
      {"the row taken out of the library after a rename", 'a', moved, false, false, noRow + kNotMoved, "<no row>",
       kArchiveFiles, {}, nullptr, "tern.flm", nullptr, false, "", [this] { DeleteDriveRow("Archive"); }},
      {"a renamed film held open when the move is undone", 'a', moved, false, false,
       noRow + "\r\n\r\nThese movies could not be put back into the directory " + archive + "\\ and are now at:\r\n"
               "Tern (" + moved + "\\tern.flm)" + kNotMoved,
       "<no row>", {"gull.flm", "puffin.flm"}, {"tern.flm"}, nullptr, "tern.flm", nullptr, false, "",
       [this] {
         holds.push_back(std::make_unique<HeldOpen>(moved + "\\tern.flm"));
         DeleteDriveRow("Archive");
       }},
  });
}

// The engine's "installed" message refreshes the films folder while a film
// is still being copied there: the half-written film is not taken for a new
// one, and the film gets one row.
TEST_F(FilmCopyTest, AFilmIsRecordedOnceWhenTheListIsRefreshedDuringItsCopy) {
  WriteLongFilm(cd + "\\reef.flm", "Reef", {{"diver", "playQT(Track=\"3\")"}});
  Start();
  ClickNode(Node(cdId));
  SelectRows({"Reef"});
  Messages messages;
  HWND main = document->GetWindow()->GetHWND();
  DuringCopy during("reef.flm", [main](HWND) { PostMessageA(main, 0x40A, 0, 0); });
  PressInstallSelected();

  EXPECT_TRUE(during.Ran());
  EXPECT_EQ((Texts{"Harbour Lights", "Reef"}), FilmsUnder(filmsId));
  const Texts rows = FilmRows(*cdDatabase);
  EXPECT_EQ(1, std::count_if(rows.begin(), rows.end(), [](const std::string& row) {
              return row.find(filmsFolderAlias + "\\reef.flm") != std::string::npos;
            }));
  EXPECT_EQ((Texts{"harbour.flm", "old.flm", "reef.flm"}), FilesIn(films));
  EXPECT_TRUE(Bytes(films + "\\reef.flm") == Bytes(cd + "\\reef.flm"));
  EXPECT_TRUE(messages.Seen().empty());
}

// A film recorded twice shows one file: emptying the wastebasket of one of
// its rows leaves the file to the other.
TEST_F(FilmCopyTest, EmptyingTheWastebasketKeepsAFileAnotherRowShows) {
  {
    CDDatabase database("Config Tool");
    Append(database, Row("Harbour Lights [ 0.01 MB]", filmsFolderAlias, filmsId, 2, "harbour.flm"));
  }
  Start();
  Drop(filmsId, {"Harbour Lights [ 0.01 MB]"}, kWastebasketId);
  Messages messages;
  Node(kWastebasketId)->ExecuteTreeItemCommand(GH_TreeDirItem::kCmdEmptyWastebasket, Row("Wastebasket", "", 0, 5, ""));

  EXPECT_TRUE(messages.Seen().empty());
  EXPECT_TRUE(FilmsUnder(kWastebasketId).empty());
  EXPECT_EQ(Texts{"Harbour Lights"}, FilmsUnder(filmsId));
  EXPECT_TRUE(dbtest::FileExists(films + "\\harbour.flm"));
  EXPECT_FALSE(dbtest::FileExists(films + "\\old.flm")) << "no other row shows it";
}

// A film of Archive dropped on the films folder is copied there; one of
// the films folder dropped on the wastebasket only moves.
TEST_F(FilmCopyTest, ADropCopiesBetweenLocationsAndMovesWithinOne) {
  Start();
  ClickNode(Node(archiveId));
  SelectRows({"Gull"});
  Node(filmsId)->ReceiveMessage(0, CP_Point(int16_t(0), int16_t(0)));
  EXPECT_TRUE(dbtest::FileExists(films + "\\gull.flm"));
  EXPECT_TRUE(dbtest::FileExists(archive + "\\gull.flm"));
  EXPECT_EQ(Texts{"Gull"}, FilmsUnder(archiveId));
  EXPECT_EQ((Texts{"Harbour Lights", "Gull"}), FilmsUnder(filmsId));

  ClickNode(Node(filmsId));
  SelectRows({"Harbour Lights"});
  Node(kWastebasketId)->ReceiveMessage(0, CP_Point(int16_t(0), int16_t(0)));
  EXPECT_EQ((Texts{"Harbour Lights", "Old Film"}), FilmsUnder(kWastebasketId));
  EXPECT_EQ(Texts{"Gull"}, FilmsUnder(filmsId));
  EXPECT_TRUE(dbtest::FileExists(films + "\\harbour.flm"));
  EXPECT_EQ(Texts{"Gull"}, ListTexts());
}

// The item list is reloaded while the drop's box is up (the engine's
// "installed" message arrives): the drop goes on with the films it was
// given, found again in the new list.
TEST_F(FilmCopyTest, TheDropGoesOnAfterTheListWasReloadedUnderItsBox) {
  // The wastebasket has a "Harbour Lights" already; "Tern" follows it in
  // the films folder.
  {
    CDDatabase database("Config Tool");
    Append(database, Row("Harbour Lights", filmsFolderAlias, kWastebasketId, 2, "harbour2.flm"));
    dbtest::WriteFilm(films + "\\harbour2.flm", {{"name", "Harbour Lights"}}, {});
    Append(database, Row("Tern", filmsFolderAlias, filmsId, 2, "tern.flm"));
    dbtest::WriteFilm(films + "\\tern.flm", {{"name", "Tern"}}, {});
  }
  Start();
  ClickNode(Node(filmsId));
  ASSERT_EQ((Texts{"Harbour Lights", "Tern"}), ListTexts());
  SelectRows({"Harbour Lights", "Tern"});
  HWND main = document->GetWindow()->GetHWND();
  Messages messages;
  messages.whileUp = [&] {
    // New films found by the refresh make the item list grow.
    for (const char* name : {"a.flm", "b.flm", "c.flm", "d.flm", "e.flm", "f.flm", "g.flm", "h.flm"})
      dbtest::WriteFilm(films + "\\" + name, {{"name", name}}, {});
    // Posted: it is handled under the box, before the box's own answer.
    PostMessageA(main, 0x40A, 0, 0);
  };
  Node(kWastebasketId)->ReceiveMessage(0, CP_Point(int16_t(0), int16_t(0)));

  // The refresh chose a new film, which the preview cannot show.
  ASSERT_EQ(2u, messages.Seen().size());
  EXPECT_EQ("Glintharbour KX: Harbour Lights is already in Wastebasket.", messages.Seen()[0]);
  EXPECT_EQ((Texts{"Old Film", "Harbour Lights", "Tern"}), FilmsUnder(kWastebasketId));
  const Texts left = FilmsUnder(filmsId);
  ASSERT_EQ(9u, left.size());
  EXPECT_EQ("Harbour Lights", left[0]);
}

// ---------------------------------------------------------------------------
// The film named on the command line

TEST_F(FilmCopyTest, TheFilmOnTheCommandLineIsCopiedFromTheCD) {
  struct Case {
    const char* name;
    std::string commandLine;
    bool removeCDFile;
    std::string filmsPath;  // the films folder's drive row PATH, when changed
    bool copied;
    Texts messages;
  };
  const std::string reef = std::to_string(reefId);
  const Case cases[] = {
      // The new film is chosen in the list; the preview cannot show a stand-in film (8 KB with its own data).
      {"film on the CD", reef, false, "", true,
       {"Glintharbour KX: Cannot open Movie file \"Reef [ 0.01 MB]\". Please make sure the CD \"Glintharbour "
        "Films\" is in the drive."}},
      {"file missing", reef, true, "", false, {"Glintharbour International: Source file for movie not found."}},
      {"films folder missing", reef, false, films + "\\gone", false,
       {"Glintharbour International: Copy failed for movie. Check that the directory exists."}},
      {"not a film", std::to_string(cdId), false, "", false, {}},
      {"no such row", "9999", false, "", false, {}},
      {"no number", "fish", false, "", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BuildLibrary();
    if (c.removeCDFile) DeleteFileA((cd + "\\reef.flm").c_str());
    if (!c.filmsPath.empty()) {
      CDDatabase database("Config Tool");
      ASSERT_FALSE(database.UpdateDriveRecord(dbtest::Drive(1, filmsFolderAlias, filmsFolderAlias, c.filmsPath)));
    }
    gCP_CommandLine = c.commandLine.c_str();
    Messages messages;
    Start();
    EXPECT_EQ(c.messages, messages.Seen());
    EXPECT_EQ(c.copied, dbtest::FileExists(films + "\\reef.flm"));
    if (c.copied) {
      // Recorded by the refresh and chosen in the list.
      ASSERT_EQ(2u, FilmsUnder(filmsId).size());
      EXPECT_EQ(0u, FilmsUnder(filmsId)[1].find("Reef"));
      HWND list = document->GetFilmList()->GetHWND();
      const int32_t chosen = int32_t(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
      ASSERT_GE(chosen, 0);
      EXPECT_EQ(0u, ListTexts()[size_t(chosen)].find("Reef"));
    }
    EXPECT_NE(nullptr, FindWindowA(nullptr, mainWindowTitle.c_str()));
    Stop();
    gCP_CommandLine = "";
  }
}

// ---------------------------------------------------------------------------
// A library that cannot be written

// Each change the windows offer, on a library whose item table is
// read-only: no row changes, the windows show what the table holds, no
// file is lost or left behind, and the user hears once which table could
// not be written.
TEST_F(FilmCopyTest, AChangeTheItemTableRefusesIsToldOnceAndNotShown) {
  // The film rows with their places and play marks.
  auto filmLines = [](const PlaylistEntries& rows) {
    Texts lines;
    for (const PlaylistEntry& row : rows)
      if (row.ITEMTYPE == kItemFilm)
        lines.push_back(std::to_string(row.ITEM_ID) + " in " + std::to_string(row.PARENT_ID) + " plays " +
                        std::to_string(row.PLAY));
    return lines;
  };
  auto stored = [&] {
    PlaylistEntries rows;
    cdDatabase->LoadItems(rows);
    return filmLines(rows);
  };
  struct Case {
    const char* name;
    std::function<void()> act;
    Texts list;  // the film list afterwards
  };
  const Case cases[] = {
      {"play mark",
       [&] {
         ClickNode(Node(filmsId));
         HWND list = document->GetFilmList()->GetHWND();
         RECT rect = {};
         rect.left = LVIR_BOUNDS;
         SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
         const LPARAM at = MAKELPARAM(10, (rect.top + rect.bottom) / 2);
         SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
         SendMessageA(list, WM_LBUTTONUP, 0, at);
       },
       {"Harbour Lights"}},
      {"Delete key",
       [&] {
         ClickNode(Node(filmsId));
         SelectRows({"Harbour Lights"});
         SendMessageA(document->GetFilmList()->GetHWND(), WM_KEYDOWN, VK_DELETE, 0);
       },
       {"Harbour Lights"}},
      {"drop on the wastebasket", [&] { Drop(filmsId, {"Harbour Lights"}, kWastebasketId); }, {"Harbour Lights"}},
      {"drop on another location", [&] { Drop(archiveId, {"Gull"}, filmsId); }, {"Gull"}},
      {"delete CD",
       [&] {
         ClickNode(Node(cdId));
         Node(cdId)->ExecuteTreeItemCommand(GH_TreeDirItem::kCmdDeleteCD, Record(cdId));
       },
       {"Reef"}},
      {"empty wastebasket",
       [&] {
         ClickNode(Node(kWastebasketId));
         Node(kWastebasketId)
             ->ExecuteTreeItemCommand(GH_TreeDirItem::kCmdEmptyWastebasket, Row("Wastebasket", "", 0, 5, ""));
       },
       {"Old Film"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BuildLibrary();
    const std::string table = tables->Path() + "\\GH_ConfigDB.dbf";
    ASSERT_TRUE(SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY));
    {
      Messages messages;
      Start();
      const Texts before = stored();
      const Texts filesBefore = FilesIn(films);
      c.act();
      kxtest::PumpUntil([] { return false; }, 100);
      EXPECT_EQ(before, stored());
      EXPECT_EQ(before, filmLines(itemList));
      EXPECT_EQ(c.list, ListTexts());
      EXPECT_NE(nullptr, Node(cdId)) << "the CD keeps its node";
      EXPECT_EQ(filesBefore, FilesIn(films));
      Stop();
      EXPECT_EQ(Texts{"Glintharbour International: The library's table GH_ConfigDB.dbf in the folder \"" +
                      tables->Path() + "\" could not be written (it is read-only). The change was not kept."},
                messages.Seen())
          << "once, and nothing more at closing";
    }
    ASSERT_TRUE(SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL));
  }
}

}  // namespace
