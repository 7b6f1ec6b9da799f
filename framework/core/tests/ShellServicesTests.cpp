#include "CP_Icon.h"
#include "CP_SaveFileChooser.h"
#include "CP_URLHandler.h"
#include "FileTestSupport.h"
#include "FrameworkFixture.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kxtest::DialogWatcher;
using kxtest::TempFolder;

constexpr int kFileNameEdit = 0x480;
constexpr const char* kPrompt = "Save File As";

using SaveFileChooserTest = FrameworkTest;

TEST_F(SaveFileChooserTest, CancelKeepsTheSpec) {
  DialogWatcher watcher(kPrompt, [](HWND dialog) { DialogWatcher::Press(dialog, IDCANCEL); });
  SaveFileChooser chooser;
  EXPECT_FALSE(chooser.Ask(kPrompt, "Untitled"));
  EXPECT_EQ(1, watcher.Count());
  EXPECT_FALSE(chooser.GetSpec().IsSpecified());
}

// A document saved for the first time names a file that does not exist yet.
TEST_F(SaveFileChooserTest, ANewFileCanBeChosen) {
  TempFolder folder;
  const std::string path = folder / "Report.txt";
  std::string shownName;
  RECT placed = {};
  DialogWatcher watcher(kPrompt, [&](HWND dialog) {
    shownName = DialogWatcher::ItemText(dialog, kFileNameEdit);
    GetWindowRect(dialog, &placed);
    DialogWatcher::SetItemText(dialog, kFileNameEdit, path);
    DialogWatcher::Press(dialog, IDOK);
  });
  SaveFileChooser chooser;
  ASSERT_TRUE(chooser.Ask(kPrompt, "Untitled"));
  EXPECT_EQ("Untitled", shownName);
  EXPECT_EQ(path, chooser.GetSpec().Path());
  EXPECT_FALSE(chooser.GetSpec().IsDirectory());
  EXPECT_FALSE(kxtest::FileExists(path));  // choosing makes no file

  // Centred across, in the upper part of the screen. The dialog grows a
  // little after it was placed, so its top is only bounded.
  RECT desktop = {};
  GetWindowRect(GetDesktopWindow(), &desktop);
  const int w = placed.right - placed.left, h = placed.bottom - placed.top;
  EXPECT_EQ((desktop.left + desktop.right) / 2 - w / 2, placed.left);
  EXPECT_GT(placed.top, 0);
  EXPECT_LT(placed.top, (desktop.top + desktop.bottom - h) / 2);
}

// An existing file is chosen only after the user agreed to replace it; the
// dialog itself leaves the file alone.
TEST_F(SaveFileChooserTest, AnExistingFileAsksBeforeItIsChosen) {
  TempFolder folder;
  const std::string path = folder / "Report.txt";
  ASSERT_TRUE(kxtest::WriteWholeFile(path, "keep"));
  int questions = 0;
  DialogWatcher watcher(kPrompt, [&](HWND dialog) {
    if (DialogWatcher::FindItem(dialog, kFileNameEdit)) {
      DialogWatcher::SetItemText(dialog, kFileNameEdit, path);
      DialogWatcher::Press(dialog, IDOK);
    } else {
      ++questions;  // the replace question carries the dialog's title
      DialogWatcher::Press(dialog, IDYES);
    }
  });
  SaveFileChooser chooser;
  ASSERT_TRUE(chooser.Ask(kPrompt, "Untitled"));
  EXPECT_EQ(1, questions);
  EXPECT_EQ(path, chooser.GetSpec().Path());
  EXPECT_EQ("keep", kxtest::ReadWholeFile(path));
}

TEST_F(SaveFileChooserTest, LongDefaultNameIsCut) {
  std::string shownName;
  DialogWatcher watcher(kPrompt, [&](HWND dialog) {
    shownName = DialogWatcher::ItemText(dialog, kFileNameEdit);
    DialogWatcher::Press(dialog, IDCANCEL);
  });
  SaveFileChooser chooser;
  EXPECT_FALSE(chooser.Ask(kPrompt, std::string(300, 'n')));
  EXPECT_EQ(std::string(259, 'n'), shownName);
}

// A batch file handed to the shell runs and leaves a mark.
std::string MakeMarkerBatch(const TempFolder& folder, const std::string& name) {
  const std::string batch = folder / (name + ".bat");
  kxtest::WriteWholeFile(batch, "@echo " + name + "> \"" + (folder / (name + ".txt")) + "\"\r\n");
  return batch;
}

TEST(URLHandlerTest, OpenHandsTheStoredURLToTheShell) {
  TempFolder folder;
  const std::string a = MakeMarkerBatch(folder, "a");
  const std::string b = MakeMarkerBatch(folder, "b");
  CP_URLHandler handler(a);
  handler.OpenURL(b);  // the stored URL stays a
  EXPECT_TRUE(kxtest::PumpUntil([&] { return kxtest::FileExists(folder / "b.txt"); }, 60000));
  handler.Open();
  EXPECT_TRUE(kxtest::PumpUntil([&] { return kxtest::FileExists(folder / "a.txt"); }, 60000));

  // The batch may still hold its file open for a moment.
  EXPECT_TRUE(kxtest::PumpUntil([&] {
    DeleteFileA((folder / "a.txt").c_str());
    return !kxtest::FileExists(folder / "a.txt");
  }, 60000));
  handler.SetURL("");
  handler.Open();  // nothing to open: nothing runs
  handler.OpenURL("");
  Sleep(500);
  EXPECT_FALSE(kxtest::FileExists(folder / "a.txt"));
}

HICON MakeIcon(int width, int height, bool colour) {
  std::vector<uint8_t> maskBits(size_t(width / 8) * size_t(colour ? height : 2 * height), 0);
  HBITMAP mask = CreateBitmap(width, colour ? height : 2 * height, 1, 1, maskBits.data());
  HDC screen = GetDC(nullptr);
  HBITMAP image = colour ? CreateCompatibleBitmap(screen, width, height) : nullptr;
  ReleaseDC(nullptr, screen);
  ICONINFO info = {};
  info.fIcon = TRUE;
  info.hbmMask = mask;
  info.hbmColor = image;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  if (image) DeleteObject(image);
  return icon;
}

TEST(IconTest, SizeComesFromTheMask) {
  struct Case {
    const char* name;
    HICON icon;
    CP_Icon::Ownership ownership;
    int32_t width, height;
  };
  const Case cases[] = {
      {"colour 32 x 16", MakeIcon(32, 16, true), CP_Icon::Ownership::Owned, 32, 16},
      // A monochrome mask holds two images one above the other.
      {"monochrome 16 x 16", MakeIcon(16, 16, false), CP_Icon::Ownership::Owned, 16, 32},
      {"no icon", nullptr, CP_Icon::Ownership::Owned, 0, 0},
      {"system icon", LoadIconA(nullptr, MAKEINTRESOURCEA(32512)), CP_Icon::Ownership::Borrowed,
       GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)},
  };
  for (const Case& c : cases) {
    CP_Icon* icon = new CP_Icon(c.icon, c.ownership);
    icon->AddReference();
    EXPECT_EQ(c.width, icon->GetWidth()) << c.name;
    EXPECT_EQ(c.height, icon->GetHeight()) << c.name;
    icon->RemoveReference();
  }
  // The borrowed system icon is still alive.
  ICONINFO info = {};
  EXPECT_TRUE(GetIconInfo(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)), &info));
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
}

}  // namespace
