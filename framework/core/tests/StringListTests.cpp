#include "CP_Alert.h"
#include "CP_StringList.h"
#include "CP_Window.h"
#include "FileTestSupport.h"
#include "FrameworkFixture.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kxtest::DialogWatcher;

using StringListTest = FrameworkTest;

TEST_F(StringListTest, Lookups) {
  std::string digits;
  for (int i = 0; i < 30; ++i) digits += "0123456789";
  struct Case {
    int16_t id, number;
    std::string want;
  };
  const Case cases[] = {
      {256, 1, "Save File As"},
      {256, 2, "Untitled"},
      {256, 3, "Save current changes to "},
      {256, 4, "Select"},
      {256, 5, "Revert changes to "},
      {257, 1, "Cannot add any more characters here."},
      {257, 2, "Only numeric data allowed in this field."},
      {257, 3, "Number must be in the range "},
      {258, 1, "The QuickTime extension is not present in this system."},
      {258, 2, "The QuickTime PowerPlug extension is not available."},
      {258, 3, "QuickTime not available."},
      {256, 6, ""},   // past the last text
      {256, 0, ""},
      {256, -1, ""},
      {999, 1, ""},  // no such list
      {300, 1, "first"},
      {300, 2, digits.substr(0, 255)},  // a text stops at 255 characters
      {300, 3, ""},
      {300, 4, ""},  // a text needs its carriage return
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.want, GetIndexedString(c.id, c.number)) << c.id << "/" << c.number;
}

TEST_F(StringListTest, QuestionsAnsweredAsAUserWould) {
  struct Case {
    const char* name;
    bool revert;
    int button;
    int16_t want;
    const char* text;
  };
  const Case cases[] = {
      {"save: yes", false, IDYES, 1, "Save current changes to Report"},
      {"save: no", false, IDNO, 2, "Save current changes to Report"},
      {"save: escape", false, IDCANCEL, 3, "Save current changes to Report"},
      {"revert: yes", true, IDYES, 1, "Revert changes to Report"},
      {"revert: no", true, IDNO, 2, "Revert changes to Report"},
  };
  for (const Case& c : cases) {
    std::string text;
    DialogWatcher watcher(GetApplicationName(), [&](HWND box) {
      text = DialogWatcher::ItemText(box, 0xFFFF);
      DialogWatcher::Press(box, c.button);
    });
    const int16_t answer = c.revert ? AskRevertAlert("Report", nullptr)
                                    : AskSaveChangesAlert("Report", nullptr);
    EXPECT_EQ(c.want, answer) << c.name;
    EXPECT_EQ(c.text, text) << c.name;
    EXPECT_EQ(1, watcher.Count()) << c.name;
  }
}

TEST_F(StringListTest, QuestionIsOwnedByTheDocumentWindow) {
  CP_M_Commander parent(nullptr);
  CP_Window window(&parent, kxtest::Describe(CP_Window::kDocument, 40, 40, 300, 200), "Report");
  window.Show();
  HWND owner = nullptr;
  DialogWatcher watcher(GetApplicationName(), [&](HWND box) {
    owner = GetWindow(box, GW_OWNER);
    DialogWatcher::Press(box, IDNO);
  });
  EXPECT_EQ(2, AskSaveChangesAlert("Report", &window));
  EXPECT_EQ(window.GetHWND(), owner);
}

}  // namespace
