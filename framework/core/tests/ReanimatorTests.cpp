#include "ByteFixture.h"
#include "CP_Adorner.h"
#include "CP_Broadcaster.h"
#include "CP_Exception.h"
#include "CP_FourCC.h"
#include "CP_HandleBlock.h"
#include "CP_HandleBlockStream.h"
#include "CP_RadioButtonGroup.h"
#include "CP_Reanimator.h"
#include "CP_StringList.h"
#include "CP_View.h"
#include "CP_Window.h"
#include "FrameworkFixture.h"
#include "WinTestSupport.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// What the creation functions were handed, in order.
std::vector<CP_M_Reanimatable*> gCreationArguments;
int gWindowsDeleted = 0;
int gTreeNotices = 0;

class TestWindow : public CP_Window {
 public:
  explicit TestWindow(const std::string& title)
      : CP_Window(nullptr, kxtest::Describe(CP_Window::kDialogLike, 50, 50, 200, 120), title) {}
  ~TestWindow() override { ++gWindowsDeleted; }
  void BroadcastToTree() override {
    ++gTreeNotices;
    CP_Window::BroadcastToTree();
  }
  // Fields: the title.
  static CP_M_Reanimatable* Create(CP_M_Reanimatable* argument, CP_InStream& in) {
    gCreationArguments.push_back(argument);
    std::string title;
    in.ReadString(title);
    return new TestWindow(title);
  }

 protected:
  const char* RuntimeClassName() const override { return "TestWindow"; }
};

class TestView : public CP_View {
 public:
  explicit TestView(CP_View* super) : CP_View(super, CP_PaneInfo(CP_Point(), CP_Size(50, 50))) {}
  static CP_M_Reanimatable* Create(CP_M_Reanimatable* argument, CP_InStream&) {
    gCreationArguments.push_back(argument);
    return new TestView(dynamic_cast<CP_View*>(argument));
  }

 protected:
  const char* RuntimeClassName() const override { return "TestView"; }
};

class TestPane : public CP_Pane {
 public:
  TestPane(CP_View* super, int32_t identifier)
      : CP_Pane(super, CP_PaneInfo(CP_Point(), CP_Size(10, 10))) {
    SetIdentifier(identifier);
  }
  // Fields: the identifier.
  static CP_M_Reanimatable* Create(CP_M_Reanimatable* argument, CP_InStream& in) {
    gCreationArguments.push_back(argument);
    int32_t identifier = 0;
    in.ReadInt32(identifier);
    return new TestPane(dynamic_cast<CP_View*>(argument), identifier);
  }

 protected:
  const char* RuntimeClassName() const override { return "TestPane"; }
};

class TestButton : public TestPane, public CP_M_Broadcaster {
 public:
  using TestPane::TestPane;
  static CP_M_Reanimatable* Create(CP_M_Reanimatable* argument, CP_InStream& in) {
    gCreationArguments.push_back(argument);
    int32_t identifier = 0;
    in.ReadInt32(identifier);
    return new TestButton(dynamic_cast<CP_View*>(argument), identifier);
  }
};

class TestAdorner;
std::vector<TestAdorner*> gAdorners;  // in the order made

class TestAdorner : public CP_Adorner {
 public:
  // The first notice comes when a pane takes the adorner.
  void PaneChanged(CP_Pane* pane) override {
    if (!attachedTo) attachedTo = pane;
  }
  static CP_M_Reanimatable* Create(CP_M_Reanimatable* argument, CP_InStream&) {
    gCreationArguments.push_back(argument);
    gAdorners.push_back(new TestAdorner);
    return gAdorners.back();
  }
  CP_Pane* attachedTo = nullptr;

 protected:
  const char* RuntimeClassName() const override { return "TestAdorner"; }
};

// Stands for groups and validators: made, handed its argument, kept.
int gThingsAlive = 0;
class TestThing : public CP_M_Reanimatable {
 public:
  TestThing() { ++gThingsAlive; }
  ~TestThing() override { --gThingsAlive; }
  void WriteToStream(CP_OutStream&) override {}
  void ReadFromStream(void*, CP_InStream&) override {}
  static CP_M_Reanimatable* Create(CP_M_Reanimatable* argument, CP_InStream&) {
    gCreationArguments.push_back(argument);
    return new TestThing;
  }

 protected:
  const char* RuntimeClassName() const override { return "TestThing"; }
};

// A validator nobody takes over: the tree lets it go.
int gValidatorsDeleted = 0;
class TestValidator : public CP_M_ReferenceCounted, public CP_M_Reanimatable {
 public:
  ~TestValidator() override { ++gValidatorsDeleted; }
  void WriteToStream(CP_OutStream&) override {}
  void ReadFromStream(void*, CP_InStream&) override {}
  static CP_M_Reanimatable* Create(CP_M_Reanimatable* argument, CP_InStream&) {
    gCreationArguments.push_back(argument);
    return new TestValidator;
  }

 protected:
  const char* RuntimeClassName() const override { return "TestValidator"; }
};

class Listener : public CP_M_Listener {
 public:
  void ReceiveBroadcast(CP_Message&) override {}
};

void RegisterTestClasses() {
  CP_Reanimator::RegisterCreator("TestWindow", TestWindow::Create);
  CP_Reanimator::RegisterCreator("TestView", TestView::Create);
  CP_Reanimator::RegisterCreator("TestPane", TestPane::Create);
  CP_Reanimator::RegisterCreator("TestButton", TestButton::Create);
  CP_Reanimator::RegisterCreator("TestAdorner", TestAdorner::Create);
  CP_Reanimator::RegisterCreator("TestThing", TestThing::Create);
  CP_Reanimator::RegisterCreator("TestValidator", TestValidator::Create);
}

// Records of a tree, little-endian as the framework stream stores them.
class Records {
 public:
  Records& Tag(const char (&tag)[5]) { return Int32(CP_FourCC(tag)); }
  Records& Int32(uint32_t v) {
    for (int i = 0; i < 4; ++i) fBytes += char((v >> (8 * i)) & 0xFF);
    return *this;
  }
  Records& Text(const std::string& s) {
    fBytes += char(s.size() & 0xFF);
    fBytes += char(s.size() >> 8);
    fBytes += s;
    return *this;
  }
  Records& Object(const char (&tag)[5], const std::string& className) { return Tag(tag).Text(className); }

  // A stream without header over the records; it owns its block.
  std::unique_ptr<CP_HandleBlockInStream> Stream() const {
    auto* block = new CP_HandleBlock(int32_t(fBytes.size()));
    if (!fBytes.empty()) std::memcpy(block->GetPointer(), fBytes.data(), fBytes.size());
    block->Unlock();
    return std::unique_ptr<CP_HandleBlockInStream>(new CP_HandleBlockInStream(block, 0));
  }

 private:
  std::string fBytes;
};

// Where each adorner made went, and on which of the pane's two lists.
bool IsOver(const TestAdorner* adorner, const CP_Pane* pane) {
  return adorner->attachedTo == pane && pane->GetAdorner(1) == adorner;
}
bool IsUnder(const TestAdorner* adorner, const CP_Pane* pane) {
  return adorner->attachedTo == pane && pane->GetAdorner(1) != adorner;
}

struct Thrown {
  bool thrown = false;
  std::string source;
  int32_t line = 0;
};

Thrown CatchMemoryError(const std::function<void()>& step) {
  Thrown t;
  try {
    step();
  } catch (const CP_MemoryException& e) {
    t = {true, e.GetSourceFile(), e.GetLine()};
  }
  return t;
}

using ReanimatorTest = FrameworkTest;

TEST_F(ReanimatorTest, AdornersGoToTheViewOrTheSubPaneBeforeThem) {
  RegisterTestClasses();
  Records records;
  records.Object("tpvi", "TestWindow").Text("w")
      .Object("prea", "TestAdorner")                   // under the window
      .Object("subv", "TestPane").Int32(1)
      .Object("posa", "TestAdorner")                   // over pane 1
      .Object("supv", "TestView")                      // inside the window
      .Object("subv", "TestPane").Int32(2)
      .Object("prea", "TestAdorner")                   // under pane 2
      .Tag("enob")
      .Object("subv", "TestPane").Int32(3);            // after the end: not read
  auto in = records.Stream();
  gCreationArguments.clear();
  gAdorners.clear();
  CP_M_Reanimatable* root = CP_Reanimator::GetCurrent()->RebuildTree(*in, nullptr, nullptr, nullptr);
  auto* window = dynamic_cast<TestWindow*>(root);
  ASSERT_NE(nullptr, window);
  EXPECT_FALSE(in->IsAtEnd());

  ASSERT_EQ(2u, window->GetSubPanes().size());
  auto* pane1 = dynamic_cast<TestPane*>(window->GetSubPanes()[0]);
  auto* view = dynamic_cast<TestView*>(window->GetSubPanes()[1]);
  ASSERT_NE(nullptr, pane1);
  ASSERT_NE(nullptr, view);
  ASSERT_EQ(1u, view->GetSubPanes().size());
  CP_Pane* pane2 = view->GetSubPanes()[0];
  EXPECT_EQ(2, pane2->GetIdentifier());
  ASSERT_EQ(3u, gAdorners.size());
  EXPECT_TRUE(IsUnder(gAdorners[0], window));
  EXPECT_TRUE(IsOver(gAdorners[1], pane1));
  EXPECT_TRUE(IsUnder(gAdorners[2], pane2));

  // Each record's creation argument: nothing for the first top view, the
  // current view for sub-panes and enclosing views, the last view for
  // adorners.
  const std::vector<CP_M_Reanimatable*> want = {nullptr, window, window, window,
                                                window,  view,   view};
  EXPECT_EQ(want, gCreationArguments);
  window->DeleteSubPanes();
  delete window;
}

TEST_F(ReanimatorTest, SubPaneWithoutAViewAndTheParentView) {
  RegisterTestClasses();
  gCreationArguments.clear();
  {
    auto in = Records().Object("subv", "TestPane").Int32(5).Tag("enob").Stream();
    EXPECT_EQ(nullptr, CP_Reanimator::GetCurrent()->RebuildTree(*in, nullptr, nullptr, nullptr));
    ASSERT_EQ(1u, gCreationArguments.size());
    EXPECT_EQ(nullptr, gCreationArguments[0]);
  }
  TestWindow parent("parent");
  {
    auto in = Records().Object("subv", "TestPane").Int32(6).Stream();  // no 'enob'
    EXPECT_EQ(nullptr, CP_Reanimator::GetCurrent()->RebuildTree(*in, &parent, nullptr, nullptr));
    EXPECT_EQ(&parent, gCreationArguments.back());
    ASSERT_EQ(1u, parent.GetSubPanes().size());
    EXPECT_EQ(6, parent.GetSubPanes()[0]->GetIdentifier());
    EXPECT_TRUE(in->IsAtEnd());
  }
  parent.DeleteSubPanes();
}

TEST_F(ReanimatorTest, ListenerGroupsAndValidators) {
  RegisterTestClasses();
  Listener listener;
  gCreationArguments.clear();
  gValidatorsDeleted = 0;
  gThingsAlive = 0;
  auto in = Records()
                .Object("tpvi", "TestWindow").Text("w")
                .Object("subv", "TestButton").Int32(1)
                .Object("vali", "TestValidator")
                .Object("subv", "TestPane").Int32(2)
                .Object("tabg", "TestThing")
                .Object("radg", "TestThing")
                .Tag("enob")
                .Stream();
  CP_M_Reanimatable* root = CP_Reanimator::GetCurrent()->RebuildTree(*in, nullptr, nullptr, &listener);
  auto* window = dynamic_cast<TestWindow*>(root);
  ASSERT_NE(nullptr, window);
  auto* button = dynamic_cast<TestButton*>(window->GetSubPanes()[0]);
  ASSERT_NE(nullptr, button);
  EXPECT_TRUE(button->HasListener(&listener));
  // The validator is handed the sub-pane before it; groups the root.
  ASSERT_EQ(6u, gCreationArguments.size());
  EXPECT_EQ(static_cast<CP_M_Reanimatable*>(button), gCreationArguments[2]);
  EXPECT_EQ(root, gCreationArguments[4]);
  EXPECT_EQ(root, gCreationArguments[5]);
  EXPECT_EQ(1, gValidatorsDeleted);
  EXPECT_EQ(0, gThingsAlive);  // the groups were not left behind
  window->DeleteSubPanes();
  delete window;
}

TEST_F(ReanimatorTest, FailuresNameTheirRecord) {
  RegisterTestClasses();
  struct Case {
    const char* name;
    Records records;
    int32_t line;
  };
  const Case cases[] = {
      {"unknown tag", Records().Object("tpvi", "TestWindow").Text("w").Object("xxxx", "TestPane").Int32(1),
       425},
      {"unknown class", Records().Object("tpvi", "TestWindow").Text("w").Object("subv", "Nobody"), 186},
  };
  for (const Case& c : cases) {
    gWindowsDeleted = 0;
    auto in = c.records.Stream();
    const Thrown t = CatchMemoryError(
        [&] { CP_Reanimator::GetCurrent()->RebuildTree(*in, nullptr, nullptr, nullptr); });
    EXPECT_TRUE(t.thrown) << c.name;
    EXPECT_EQ("CP_Reanimator.cpp", t.source) << c.name;
    EXPECT_EQ(c.line, t.line) << c.name;
    EXPECT_EQ(1, gWindowsDeleted) << c.name << ": the part already built goes";
  }
}

TEST_F(ReanimatorTest, TheCurrentReanimator) {
  CP_Reanimator* builtIn = CP_Reanimator::GetCurrent();
  ASSERT_NE(nullptr, builtIn);
  EXPECT_EQ(builtIn, CP_Reanimator::GetCurrent());
  {
    CP_Reanimator own;
    EXPECT_EQ(&own, CP_Reanimator::GetCurrent());
  }
  EXPECT_EQ(builtIn, CP_Reanimator::GetCurrent());
  const Thrown t = CatchMemoryError([&] { builtIn->FindCreator("NeverRegistered"); });
  EXPECT_EQ(186, t.line);
}

using ObjectResourceTest = FrameworkTest;

TEST_F(ObjectResourceTest, StoredWindowsAreRebuilt) {
  RegisterTestClasses();
  kxtest::MessageBoxWatcher reports("CP_Exception", IDOK);
  CP_M_Commander owner(nullptr);
  for (int16_t id : {1001, 1002, 1006}) {
    gTreeNotices = 0;
    gAdorners.clear();
    CP_Window* window = ReanimateFromResource(&owner, id, nullptr);
    ASSERT_NE(nullptr, window) << id;
    EXPECT_EQ("Stored", window->GetTitle()) << id;
    EXPECT_EQ(&owner, window->GetParentCommander()) << id;
    EXPECT_EQ(1, gTreeNotices) << id;
    ASSERT_EQ(1u, window->GetSubPanes().size()) << id;
    CP_Pane* pane = window->GetSubPanes()[0];
    EXPECT_EQ(7, pane->GetIdentifier()) << id;
    if (id != 1006) {
      ASSERT_EQ(1u, gAdorners.size()) << id;
      EXPECT_TRUE(IsUnder(gAdorners[0], pane)) << id;
    }
    window->DeleteSubPanes();
    delete window;
  }
  EXPECT_EQ(0, reports.Count());
}

TEST_F(ObjectResourceTest, RefusedAndFailedResources) {
  RegisterTestClasses();
  struct Case {
    const char* name;
    int16_t id;
    const char* report;  // null: refused without a report
  };
  const Case cases[] = {
      {"missing resource", 999, nullptr},
      {"version 2", 1003, nullptr},
      {"unknown tag", 1004, "File: CP_Reanimator.cpp\rLine:425\rException: NULL Pointer"},
      {"stream version 7", 1005, "File: CP_InStream.cpp\rLine:202"},
      {"unknown class", 1007, "File: CP_Reanimator.cpp\rLine:186\rException: NULL Pointer"},
      {"root is no window", 1008, "File: CP_Window\rLine:254"},
  };
  for (const Case& c : cases) {
    gWindowsDeleted = 0;
    kxtest::MessageBoxWatcher reports("CP_Exception", IDOK);
    CP_M_Commander owner(nullptr);
    EXPECT_EQ(nullptr, ReanimateFromResource(&owner, c.id, nullptr)) << c.name;
    EXPECT_EQ(c.report ? 1 : 0, reports.Count()) << c.name;
    if (c.report) {
      EXPECT_NE(std::string::npos, reports.LastText().find(c.report)) << c.name << ": " << reports.LastText();
    }
  }
  EXPECT_EQ(nullptr, kxtest::FindOwnWindow("CP_Window", "Stored"));
}

// The reference resources: a stored window and "STR#" lists (the
// framework's own and one with edge cases), as every build links them. The
// stored window is rebuilt from the reference file.
TEST_F(ObjectResourceTest, TheReferenceResourcesAreTheSameInEveryBuild) {
  const struct {
    const char* type;
    int id;
    const char* file;
  } kResources[] = {{"CPob", 1001, "stored-window.CPob"},
                    {"STR#", kCP_StringList_Document, "document.STR#"},
                    {"STR#", 300, "edge-cases.STR#"}};
  for (const auto& r : kResources) {
    SCOPED_TRACE(r.file);
    kxfixture::ExpectSameBytes(std::string(KX_FIXTURES) + "/" + r.file, kxtest::ResourceBytes(r.type, r.id));
  }

  RegisterTestClasses();
  const std::vector<uint8_t> stored = kxfixture::Reference(std::string(KX_FIXTURES) + "/stored-window.CPob");
  ASSERT_GT(stored.size(), 20u);
  auto* block = new CP_HandleBlock(int32_t(stored.size()));
  std::memcpy(block->GetPointer(), stored.data(), stored.size());
  block->Unlock();
  CP_HandleBlockInStream in(block, 1);
  uint32_t signature = 0;
  int16_t version = 0, ignored = 0;
  in.Read(&signature, 4);
  in.Read(&version, 2);
  in.Read(&ignored, 2);
  EXPECT_EQ(CP_FourCC("CPob"), signature);
  EXPECT_EQ(1, version);
  CP_M_Commander owner(nullptr);
  CP_Window* window = BuildWindowFromStream(in, &owner, nullptr);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ("Stored", window->GetTitle());
  ASSERT_EQ(1u, window->GetSubPanes().size());
  EXPECT_EQ(7, window->GetSubPanes()[0]->GetIdentifier());
  window->DeleteSubPanes();
  delete window;
}

TEST(RadioButtonGroupTest, RemoveTakesOutTheFirstEntryOnly) {
  CP_RadioButtonGroup group;
  auto* a = reinterpret_cast<CP_Control*>(0x1000);  // never used as controls here
  auto* b = reinterpret_cast<CP_Control*>(0x2000);
  auto* absent = reinterpret_cast<CP_Control*>(0x3000);
  for (CP_Control* button : {a, b, a}) group.AddButton(button);
  group.RemoveButton(absent);
  EXPECT_EQ((std::vector<CP_Control*>{a, b, a}), group.GetButtons());
  group.RemoveButton(a);
  EXPECT_EQ((std::vector<CP_Control*>{b, a}), group.GetButtons());
  group.RemoveButton(a);
  group.RemoveButton(a);
  EXPECT_EQ(std::vector<CP_Control*>{b}, group.GetButtons());
  EXPECT_EQ("CP_RadioButtonGroup", group.GetClassName());
}

}  // namespace
