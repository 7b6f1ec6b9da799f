#include "CP_Alert.h"
#include "CP_Application.h"
#include "CP_Document.h"
#include "CP_Exception.h"
#include "CP_MenuBar.h"
#include "DocumentTestSupport.h"
#include "FileTestSupport.h"
#include "FrameworkFixture.h"
#include "DiskFaults.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using kxtest::DialogWatcher;
using kxtest::FolderEntries;
using kxtest::TempFolder;
using kxtest::TestDocument;

constexpr int kFileNameEdit = 0x480;
using Window = TestDocument::Window;

// Answers the document questions with `button` and counts them.
struct QuestionAnswerer {
  explicit QuestionAnswerer(int button)
      : watcher(GetApplicationName(), [this, button](HWND box) {
          text = DialogWatcher::ItemText(box, 0xFFFF);
          DialogWatcher::Press(box, button);
        }) {}
  std::string text;
  DialogWatcher watcher;
};

// Works the save dialog: cancels it, or chooses `path` and agrees to
// replace an existing file.
struct SaveDialogAnswerer {
  explicit SaveDialogAnswerer(std::string path_)
      : path(std::move(path_)), watcher("Save File As", [this](HWND dialog) {
          if (!DialogWatcher::FindItem(dialog, kFileNameEdit)) {
            DialogWatcher::Press(dialog, IDYES);  // replace the existing file
            return;
          }
          shownName = DialogWatcher::ItemText(dialog, kFileNameEdit);
          if (path.empty()) {
            DialogWatcher::Press(dialog, IDCANCEL);
            return;
          }
          DialogWatcher::SetItemText(dialog, kFileNameEdit, path);
          DialogWatcher::Press(dialog, IDOK);
        }) {}
  std::string path;
  std::string shownName;
  DialogWatcher watcher;
};

using DocumentTest = FrameworkTest;

using kxtest::RefusingFolder;

TEST_F(DocumentTest, UniqueNamesAndTheDocumentList) {
  EXPECT_EQ(nullptr, CP_Document::GetDocumentList());
  CP_Application app;
  auto* a = new TestDocument(&app, Window::No);
  EXPECT_EQ(a, CP_M_Commander::GetTarget());
  auto* b = new TestDocument(&app, Window::No);
  auto* c = new TestDocument(&app, Window::No);
  EXPECT_EQ("Untitled", a->GetName());
  EXPECT_EQ("Untitled1", b->GetName());
  EXPECT_EQ("Untitled2", c->GetName());
  EXPECT_EQ(c, CP_M_Commander::GetTarget());
  ASSERT_NE(nullptr, CP_Document::GetDocumentList());
  EXPECT_EQ((std::list<CP_Document*>{a, b, c}), *CP_Document::GetDocumentList());

  delete b;
  auto* d = new TestDocument(&app, Window::No);
  EXPECT_EQ("Untitled1", d->GetName());
  delete a;
  delete c;
  delete d;
  EXPECT_EQ(nullptr, CP_Document::GetDocumentList());
  auto* e = new TestDocument(&app, Window::No);
  EXPECT_EQ(1u, CP_Document::GetDocumentList()->size());
  EXPECT_EQ("Untitled", e->GetName());
  delete e;
}

TEST_F(DocumentTest, NameIsTheWindowTitle) {
  CP_Application app;
  auto* document = new TestDocument(&app, Window::Yes);
  EXPECT_EQ("Untitled", document->GetWindow()->GetTitle());
  document->SetName("Report");
  EXPECT_EQ("Report", document->GetWindow()->GetTitle());
  EXPECT_TRUE(document->TryClose());
}

TEST_F(DocumentTest, AnUnmodifiedDocumentClosesSilently) {
  CP_Application app;
  int deleted = 0;
  auto* document = new TestDocument(&app, Window::Yes, &deleted);
  document->SetName("Quiet");
  EXPECT_NE(nullptr, kxtest::FindOwnWindow("CP_DocWindow", "Quiet"));
  QuestionAnswerer answerer(IDCANCEL);  // a question would make it refuse
  EXPECT_TRUE(document->AskSaveChanges());
  EXPECT_EQ(0, document->ExecuteCommand(kCmd_Close));
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(nullptr, kxtest::FindOwnWindow("CP_DocWindow", "Quiet"));
  EXPECT_EQ(0, answerer.watcher.Count());
  EXPECT_EQ(&app, CP_M_Commander::GetTarget());
}

class RefusingParent : public CP_M_Commander {
 public:
  RefusingParent() : CP_M_Commander(nullptr) {}
  bool ApproveChildClose(CP_M_Commander*) override { return false; }
};

TEST_F(DocumentTest, TryCloseNeedsTheParentsApproval) {
  int deleted = 0;
  RefusingParent refusing;
  TestDocument orphan(nullptr, Window::No, &deleted);
  EXPECT_FALSE(orphan.TryClose());
  TestDocument kept(&refusing, Window::No, &deleted);
  EXPECT_FALSE(kept.TryClose());
  EXPECT_EQ(0, deleted);
}

TEST_F(DocumentTest, QuestionAnswersTable) {
  struct Case {
    const char* name;
    int button;
    bool modified;
    bool closes;
    int saves;
  };
  const Case cases[] = {
      {"not modified: no question", IDCANCEL, false, true, 0},
      {"don't save", IDNO, true, true, 0},
      {"cancel", IDCANCEL, true, false, 0},
  };
  for (const Case& c : cases) {
    CP_Application app;
    auto* document = new TestDocument(&app, Window::Yes);
    document->SetName("Report");
    document->SetModified(c.modified);
    QuestionAnswerer answerer(c.button);
    EXPECT_EQ(c.closes, document->AskSaveChanges()) << c.name;
    EXPECT_EQ(c.modified ? 1 : 0, answerer.watcher.Count()) << c.name;
    if (c.modified) {
      EXPECT_EQ("Save current changes to Report", answerer.text) << c.name;
    }
    EXPECT_EQ(c.saves, document->saves) << c.name;
    delete document->GetWindow();
    delete document;
  }
}

// Save on a document without a file asks for one; cancelling the dialog
// keeps the document open and unsaved.
TEST_F(DocumentTest, SaveCancelledInTheDialogKeepsTheDocumentOpen) {
  CP_Application app;
  int deleted = 0;
  auto* document = new TestDocument(&app, Window::Yes, &deleted);
  document->SetModified(true);
  {
    QuestionAnswerer answerer(IDYES);
    SaveDialogAnswerer dialog("");
    EXPECT_FALSE(document->AskSaveChanges());
    EXPECT_EQ(1, dialog.watcher.Count());
    EXPECT_EQ("Untitled", dialog.shownName);
  }
  EXPECT_FALSE(document->HasFile());
  EXPECT_TRUE(document->IsModified());
  EXPECT_EQ(0, document->saves);
  {
    QuestionAnswerer answerer(IDYES);
    SaveDialogAnswerer dialog("");
    EXPECT_FALSE(CP_Document::CloseAllDocuments());
  }
  EXPECT_EQ(0, deleted);
  EXPECT_TRUE(document->TryClose());
  EXPECT_EQ(1, deleted);
}

TEST_F(DocumentTest, SaveWithoutAFileIsSaveAs) {
  TempFolder folder;
  CP_Application app;
  auto* document = new TestDocument(&app, Window::Yes);
  document->SetModified(true);
  {
    SaveDialogAnswerer dialog(folder / "Report.txt");
    EXPECT_EQ(0, document->ExecuteCommand(kCmd_Save));
    EXPECT_EQ(1, dialog.watcher.Count());
  }
  EXPECT_TRUE(document->HasFile());
  EXPECT_FALSE(document->IsModified());
  EXPECT_EQ(folder / "Report.txt", document->GetFileSpec().Path());
  EXPECT_EQ("Report.txt", document->GetName());
  EXPECT_EQ("Report.txt", document->GetWindow()->GetTitle());
  EXPECT_EQ("document content", kxtest::ReadWholeFile(folder / "Report.txt"));

  // With a file, save writes it again without asking.
  document->content = "second";
  document->SetModified(true);
  DialogWatcher unexpected("Save File As", [](HWND dialog) { DialogWatcher::Press(dialog, IDCANCEL); });
  document->ExecuteCommand(kCmd_Save);
  EXPECT_EQ(0, unexpected.Count());
  EXPECT_EQ("second", kxtest::ReadWholeFile(folder / "Report.txt"));
  EXPECT_TRUE(document->TryClose());
}

// Save as over an existing file replaces it only once the new content is
// all written and on the disk: a save that fails, in the document's own
// writing or where real disks fail it (full part way, when the data is put
// on the disk before the rename, at the close), leaves the old file as it
// was and nothing else in the folder.
TEST_F(DocumentTest, SaveAsOverAnExistingFile) {
  struct Case {
    const char* name;
    int failAfter;                   // the document's writing throws after that many bytes
    kxtest::DiskFaults::Fault fault;  // when it does not
  } const cases[] = {
      {"the writing throws", 3, kxtest::DiskFaults::kFullAfter},
      {"full part way", -1, kxtest::DiskFaults::kFullAfter},
      {"flush fails", -1, kxtest::DiskFaults::kFlushFails},
      {"close fails", -1, kxtest::DiskFaults::kCloseFails},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string path = folder / "Report.txt";
    ASSERT_TRUE(kxtest::WriteWholeFile(path, "old content"));
    CP_Application app;
    auto* document = new TestDocument(&app, Window::Yes);
    document->SetModified(true);
    document->failAfter = c.failAfter;
    if (c.failAfter >= 0) {
      SaveDialogAnswerer dialog(path);
      EXPECT_THROW(document->ExecuteCommand(kCmd_SaveAs), std::runtime_error);
    } else {
      kxtest::DiskFaults faults(folder.Path(), c.fault, 3);
      ASSERT_TRUE(faults.Applied());
      SaveDialogAnswerer dialog(path);
      EXPECT_THROW(document->ExecuteCommand(kCmd_SaveAs), CP_BaseException);
      EXPECT_EQ(1, faults.Failures());
    }
    EXPECT_EQ("old content", kxtest::ReadWholeFile(path));
    EXPECT_EQ(std::vector<std::string>{"Report.txt"}, FolderEntries(folder.Path()));
    EXPECT_TRUE(document->IsModified());
    // The document has no file yet: the next save asks where to write.
    EXPECT_FALSE(document->HasFile());
    EXPECT_EQ("", document->GetFileSpec().Path());
    {
      DialogWatcher asked("Save File As", [](HWND dialog) { DialogWatcher::Press(dialog, IDCANCEL); });
      document->ExecuteCommand(kCmd_Save);
      EXPECT_EQ(1, asked.Count());
    }
    EXPECT_EQ("old content", kxtest::ReadWholeFile(path));

    document->failAfter = -1;
    {
      SaveDialogAnswerer dialog(path);
      document->ExecuteCommand(kCmd_SaveAs);
    }
    EXPECT_EQ("document content", kxtest::ReadWholeFile(path));
    EXPECT_EQ(std::vector<std::string>{"Report.txt"}, FolderEntries(folder.Path()));
    EXPECT_FALSE(document->IsModified());
    EXPECT_TRUE(document->TryClose());
  }
}

// A failed save as leaves a document that has a file with that file.
TEST_F(DocumentTest, AFailedSaveAsKeepsTheFileItHad) {
  TempFolder folder;
  CP_Application app;
  auto* document = new TestDocument(&app, Window::Yes);
  document->SetModified(true);
  {
    SaveDialogAnswerer dialog(folder / "First.txt");
    document->ExecuteCommand(kCmd_SaveAs);
  }
  document->content = "changed";
  document->SetModified(true);
  document->failAfter = 2;
  {
    SaveDialogAnswerer dialog(folder / "Second.txt");
    EXPECT_THROW(document->ExecuteCommand(kCmd_SaveAs), std::runtime_error);
  }
  EXPECT_EQ(folder / "First.txt", document->GetFileSpec().Path());
  ASSERT_NE(nullptr, document->GetFile());
  EXPECT_EQ(folder / "First.txt", document->GetFile()->GetSpec().Path());
  document->failAfter = -1;
  document->ExecuteCommand(kCmd_Save);
  EXPECT_EQ("changed", kxtest::ReadWholeFile(folder / "First.txt"));
  EXPECT_FALSE(kxtest::FileExists(folder / "Second.txt"));
  EXPECT_TRUE(document->TryClose());
}

// Save as into a folder that refuses new files fails before the document
// lets go of anything: it keeps the file it had (or still has none), and
// the next save goes where it went before, or asks.
TEST_F(DocumentTest, SaveAsIntoAFolderThatRefusesNewFilesKeepsTheOldFile) {
  for (bool hadFile : {true, false}) {
    SCOPED_TRACE(hadFile ? "with a file" : "without a file");
    TempFolder folder;
    const std::string locked = folder / "locked";
    ASSERT_TRUE(CreateDirectoryA(locked.c_str(), nullptr));
    CP_Application app;
    auto* document = new TestDocument(&app, Window::Yes);
    if (hadFile) {
      SaveDialogAnswerer dialog(folder / "Old.txt");
      document->ExecuteCommand(kCmd_SaveAs);
      ASSERT_EQ("document content", kxtest::ReadWholeFile(folder / "Old.txt"));
    }
    const std::string name = document->GetName();
    document->content = "changed";
    document->SetModified(true);
    {
      RefusingFolder refusing(locked);
      ASSERT_TRUE(refusing.Applied());
      SaveDialogAnswerer dialog(locked + "\\New.txt");
      EXPECT_THROW(document->ExecuteCommand(kCmd_SaveAs), CP_BaseException);
      EXPECT_EQ(1, dialog.watcher.Count());
    }
    EXPECT_EQ(hadFile, document->HasFile());
    EXPECT_EQ(hadFile ? folder / "Old.txt" : "", document->GetFileSpec().Path());
    if (hadFile) {
      ASSERT_NE(nullptr, document->GetFile());
      EXPECT_EQ(folder / "Old.txt", document->GetFile()->GetSpec().Path());
    }
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(name, document->GetName());
    EXPECT_EQ(std::vector<std::string>{}, FolderEntries(locked));

    DialogWatcher asked("Save File As", [](HWND dialog) { DialogWatcher::Press(dialog, IDCANCEL); });
    document->ExecuteCommand(kCmd_Save);
    EXPECT_EQ(hadFile ? 0 : 1, asked.Count());
    EXPECT_EQ(hadFile ? "changed" : "<missing>", kxtest::ReadWholeFile(folder / "Old.txt"));
    EXPECT_FALSE(kxtest::FileExists(locked + "\\New.txt"));
    EXPECT_TRUE(document->TryClose());
  }
}

// Taking a spec makes a missing file but never empties an existing one.
TEST_F(DocumentTest, SetFileSpecKeepsAnExistingFile) {
  TempFolder folder;
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "old.txt", "old content"));
  CP_Application app;
  TestDocument existing(&app, Window::No);
  existing.SaveToFile(CP_FileSpec(folder / "old.txt", false));
  EXPECT_TRUE(existing.HasFile());
  EXPECT_EQ("old content", kxtest::ReadWholeFile(folder / "old.txt"));
  TestDocument fresh(&app, Window::No);
  fresh.SetFileSpec(CP_FileSpec(folder / "new.txt", false));
  EXPECT_TRUE(fresh.HasFile());
  EXPECT_EQ("", kxtest::ReadWholeFile(folder / "new.txt"));
  // A second spec replaces the spec; the file object stays.
  CP_File* file = fresh.GetFile();
  fresh.SetFileSpec(CP_FileSpec(folder / "other.txt", false));
  EXPECT_EQ(file, fresh.GetFile());
  EXPECT_EQ(folder / "other.txt", fresh.GetFileSpec().Path());
}

TEST_F(DocumentTest, RevertOnlyOnYes) {
  CP_Application app;
  auto* document = new TestDocument(&app, Window::Yes);
  document->SetName("Report");
  struct Case {
    int button;
    int reverts;
  };
  const Case cases[] = {{IDYES, 1}, {IDNO, 1}, {IDCANCEL, 1}};
  for (const Case& c : cases) {
    QuestionAnswerer answerer(c.button);
    document->ExecuteCommand(kCmd_Revert);
    EXPECT_EQ(1, answerer.watcher.Count());
    EXPECT_EQ("Revert changes to Report", answerer.text);
    EXPECT_EQ(c.reverts, document->reverts) << c.button;
  }
  EXPECT_TRUE(document->TryClose());
}

struct ItemStates {
  bool save, saveAs, revert;
};

ItemStates MenuStates() {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  CP_Menu* file = bar->FindMenuByCommand(kCmd_Save);
  auto enabled = [&](int32_t command) {
    const UINT state =
        GetMenuState(file->GetHandle(), UINT(file->FindItemByCommand(command) - 1), MF_BYPOSITION);
    return (state & (MF_GRAYED | MF_DISABLED)) == 0;
  };
  return {enabled(kCmd_Save), enabled(kCmd_SaveAs), enabled(kCmd_Revert)};
}

TEST_F(DocumentTest, CommandEnabling) {
  TempFolder folder;
  CP_Application app;
  CreateMenuBar();
  CP_MenuBar::GetMenuBar()->LoadMenus(130);
  TestDocument document(&app, Window::No);
  struct Case {
    const char* name;
    bool modified;
    bool hasFile;
    ItemStates want;
  };
  const Case cases[] = {
      {"new document", false, false, {true, true, false}},
      {"modified without file", true, false, {true, true, true}},
      {"saved", false, true, {false, true, false}},
      {"modified with file", true, true, {true, true, true}},
  };
  for (const Case& c : cases) {
    if (c.hasFile && !document.HasFile()) document.SetFileSpec(CP_FileSpec(folder / "a.txt", false));
    document.SetModified(c.modified);
    CP_M_Commander::UpdateMenus();
    const ItemStates got = MenuStates();
    EXPECT_EQ(c.want.save, got.save) << c.name;
    EXPECT_EQ(c.want.saveAs, got.saveAs) << c.name;
    EXPECT_EQ(c.want.revert, got.revert) << c.name;
  }
}

// Closing every document: the walk survives the list going away with the
// last document, and stops at the first that may not close.
TEST_F(DocumentTest, CloseAllDocuments) {
  CP_Application app;
  int deleted = 0;
  EXPECT_TRUE(CP_Document::CloseAllDocuments());  // none at all
  for (int i = 0; i < 3; ++i) new TestDocument(&app, Window::Yes, &deleted);
  CP_Document::GetDocumentList()->front()->SetModified(true);
  {
    QuestionAnswerer answerer(IDNO);
    EXPECT_TRUE(CP_Document::CloseAllDocuments());
    EXPECT_EQ(1, answerer.watcher.Count());
  }
  EXPECT_EQ(3, deleted);
  EXPECT_EQ(nullptr, CP_Document::GetDocumentList());

  deleted = 0;
  for (int i = 0; i < 3; ++i) new TestDocument(&app, Window::Yes, &deleted);
  auto it = CP_Document::GetDocumentList()->begin();
  CP_Document* second = *++it;
  second->SetModified(true);
  {
    QuestionAnswerer answerer(IDCANCEL);
    EXPECT_FALSE(CP_Document::CloseAllDocuments());
  }
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(2u, CP_Document::GetDocumentList()->size());
  EXPECT_EQ(second, CP_Document::GetDocumentList()->front());
  second->SetModified(false);
  EXPECT_TRUE(CP_Document::CloseAllDocuments());
  EXPECT_EQ(3, deleted);
}

}  // namespace
