#include "CP_Desktop.h"
#include "CP_DocApplication.h"
#include "CP_Event.h"
#include "CP_FileSpec.h"
#include "CP_HandleBlock.h"
#include "CP_HandleBlockStream.h"
#include "CP_MenuBar.h"
#include "MemoryOutStream.h"
#include "PaneTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <functional>
#include <memory>

namespace {

using kxtest::Describe;
using kxtest::PaneAt;
using kxtest::ProbePane;
using kxtest::SceneTest;

using WindowTest = SceneTest;

RECT Outer(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

RECT Client(HWND window) {
  RECT r = {};
  GetClientRect(window, &r);
  return r;
}

// A resizable document window with a caption and a frame.
std::unique_ptr<CP_Window> MakeDocumentWindow(CP_M_Commander* parent, int width, int height) {
  auto window = std::make_unique<CP_Window>(parent, Describe(CP_Window::kDocument, 50, 50, width, height), "doc");
  window->SetOwnsItself(false);
  return window;
}

TEST_F(WindowTest, ContentSizeIsClampedAndTheFrameAddedAround) {
  auto doc = MakeDocumentWindow(app, 300, 200);
  const int border = doc->GetBorderWidth();
  const int caption = doc->GetCaptionHeight();
  ASSERT_GT(border, 0);
  ASSERT_GT(caption, 0);
  EXPECT_EQ(300, Client(doc->GetHWND()).right) << "made with the described content size";

  doc->SetContentSize(CP_Size(40, 30), true);
  EXPECT_EQ(100, Client(doc->GetHWND()).right) << "the minimum";
  EXPECT_EQ(100, Client(doc->GetHWND()).bottom);
  const RECT outer = Outer(doc->GetHWND());
  EXPECT_EQ(100 + 2 * border, outer.right - outer.left);
  EXPECT_EQ(100 + 2 * border + caption, outer.bottom - outer.top);
  EXPECT_EQ(CP_Size(100, 100), CP_Size(doc->GetFrame().Width(), doc->GetFrame().Height()));
  EXPECT_EQ(outer.right - outer.left, doc->GetWidth()) << "a window's width is its outer width";
}

TEST_F(WindowTest, SizeLimitsClampTheContentNotTheFrame) {
  auto doc = MakeDocumentWindow(app, 200, 150);
  const RECT before = Outer(doc->GetHWND());
  doc->SetSizeLimits(CP_Size(100, 100), CP_Size(400, 400), true);
  const RECT after = Outer(doc->GetHWND());
  EXPECT_EQ(before.right - before.left, after.right - after.left) << "a fitting window keeps its size";
  EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);

  // The content height fits the limits: only the width grows, and the
  // height is not taken for the frame's.
  doc->SetSizeLimits(CP_Size(250, 140), CP_Size(500, 500), true);
  EXPECT_EQ(250, Client(doc->GetHWND()).right);
  EXPECT_EQ(150, Client(doc->GetHWND()).bottom);

  doc->SetSizeLimits(CP_Size(260, 180), CP_Size(50, 50), true);
  EXPECT_EQ(CP_Size(260, 180), doc->GetDescription().maximumSize) << "a maximum below the minimum is raised";
  EXPECT_EQ(260, Client(doc->GetHWND()).right);
  EXPECT_EQ(180, Client(doc->GetHWND()).bottom);
}

TEST_F(WindowTest, TrackingSizesAreTheLimitsPlusTheFrame) {
  auto doc = MakeDocumentWindow(app, 200, 150);
  const int border = doc->GetBorderWidth();
  const int caption = doc->GetCaptionHeight();
  MINMAXINFO info = {};
  info.ptMaxTrackSize = POINT{-7, -7};
  EXPECT_EQ(0, doc->HandleMessage(doc->GetHWND(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)));
  EXPECT_EQ(100 + 2 * border, info.ptMinTrackSize.x);
  EXPECT_EQ(100 + 2 * border + caption, info.ptMinTrackSize.y);
  EXPECT_EQ(-7, info.ptMaxTrackSize.x) << "the default maximum is left alone";

  doc->SetSizeLimits(CP_Size(120, 110), CP_Size(500, 400), false);
  doc->HandleMessage(doc->GetHWND(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(500 + 2 * border, info.ptMaxTrackSize.x);
  EXPECT_EQ(400 + 2 * border + caption, info.ptMaxTrackSize.y);
}

TEST_F(WindowTest, MinimisingKeepsTheBoundPanesForTheRestore) {
  auto doc = MakeDocumentWindow(app, 300, 200);
  doc->Show();
  auto* pane = AddPane(doc.get(), PaneAt(10, 10, 200, 150, {1, 1, 1, 1}));
  ShowWindow(doc->GetHWND(), SW_MINIMIZE);
  ShowWindow(doc->GetHWND(), SW_RESTORE);
  EXPECT_EQ(300, Client(doc->GetHWND()).right);
  EXPECT_EQ(200, pane->GetWidth());
  EXPECT_EQ(150, pane->GetHeight());
}

// Records keys and commands; consumes them.
class Target : public CP_M_Commander {
 public:
  explicit Target(CP_M_Commander* parent) : CP_M_Commander(parent) {}
  bool RouteKey(int16_t key, CP_Event&) override {
    keys.push_back(key);
    return true;
  }
  int32_t ExecuteCommand(int32_t command) override {
    commands.push_back(command);
    return -2;
  }
  std::vector<int16_t> keys;
  std::vector<int32_t> commands;
};

TEST_F(WindowTest, FrameKeysAreTranslatedAndDeliveredAsCharacters) {
  Target target(app);
  CP_M_Commander::ChangeTarget(&target);
  HWND frame = window->GetHWND();
  EXPECT_EQ(1, SendMessageA(frame, WM_KEYDOWN, VK_SNAPSHOT, 0));
  EXPECT_EQ(1, SendMessageA(frame, WM_KEYDOWN, VK_END, 0));
  EXPECT_EQ(1, SendMessageA(frame, WM_KEYDOWN, VK_F12, 0));
  SendMessageA(frame, WM_KEYDOWN, 'A', 0);  // its character comes as WM_CHAR
  EXPECT_EQ(1, SendMessageA(frame, WM_CHAR, 'a', 0));
  const std::vector<int16_t> want = {0xC9, 0xC6, 0xD7, 'a'};
  EXPECT_EQ(want, target.keys);
}

TEST_F(WindowTest, MenuCommandsGoToTheTargetUnlessAHandlerTakesThem) {
  Target target(app);
  CP_M_Commander::ChangeTarget(&target);
  EXPECT_EQ(-2, SendMessageA(window->GetHWND(), WM_COMMAND, MAKEWPARAM(1000, 0), 0));
  ASSERT_EQ(1u, target.commands.size());
  EXPECT_EQ(1000, target.commands[0]);

  struct Taker : CP_EventHandlerAttachment {
    Taker() : CP_EventHandlerAttachment(kEventKind_ExecuteCommand) {}
    bool HandleEvent(uint32_t, uintptr_t) override { return false; }
  };
  target.AttachEventHandler(new Taker);
  EXPECT_EQ(0, SendMessageA(window->GetHWND(), WM_COMMAND, MAKEWPARAM(1000, 0), 0));
  EXPECT_EQ(1u, target.commands.size());
}

TEST_F(WindowTest, ControlNotificationsReachTheControlsPane) {
  auto* control = AddPane(window, PaneAt(0, 0, 30, 20), /*recorder=*/true);
  const LPARAM from = reinterpret_cast<LPARAM>(control->GetHWND());
  EXPECT_EQ(0, SendMessageA(window->GetHWND(), WM_COMMAND, MAKEWPARAM(7, 1), from));
  EXPECT_EQ(0, SendMessageA(window->GetHWND(), WM_COMMAND, MAKEWPARAM(7, 2), from));
  kxtest::RecordedMessages().clear();
  // Code 0 (a click) is sent on to the control, whose own procedure hears it
  // and whose pane is told.
  EXPECT_EQ(0, SendMessageA(window->GetHWND(), WM_COMMAND, MAKEWPARAM(7, 0), from));
  EXPECT_EQ("HandleControlNotification:1 HandleControlNotification:2 ControlHook1:0", control->Calls());
  ASSERT_EQ(1u, kxtest::RecordedMessages().size());
  EXPECT_EQ(UINT(WM_COMMAND), kxtest::RecordedMessages()[0].first);
}

// A pane that is also a commander.
class CommanderPane : public ProbePane, public CP_M_Commander {
 public:
  CommanderPane(CP_View* super, const CP_PaneInfo& info) : ProbePane(super, info), CP_M_Commander(nullptr) {}
};

TEST_F(WindowTest, DeactivationRemembersTheTargetInsideAndActivationBringsItBack) {
  window->Show();
  EXPECT_EQ(static_cast<CP_M_Commander*>(window), CP_M_Commander::GetTarget());
  EXPECT_TRUE(window->IsActive());
  auto* field = AddPane<CommanderPane>(window, PaneAt(0, 0, 30, 20));
  CP_M_Commander::ChangeTarget(field);

  window->Deactivate();
  EXPECT_EQ(static_cast<CP_M_Commander*>(app), CP_M_Commander::GetTarget()) << "the parent took the target";
  EXPECT_EQ(static_cast<CP_M_Commander*>(field), window->GetPendingTarget());
  window->Activate();
  EXPECT_EQ(static_cast<CP_M_Commander*>(field), CP_M_Commander::GetTarget());
}

// The target pane remembered by an inactive window goes: the window forgets
// it, and activating the window again makes the window itself the target.
// The activation goes through WM_ACTIVATE as Windows sends it to the
// other window, which names this one.
TEST_F(WindowTest, ARememberedTargetThatGoesWhileTheWindowIsInactiveIsForgotten) {
  struct Case {
    const char* name;
    bool inView;  // the field sits in a sub-view
    std::function<void(CP_Window*, CP_Pane* field, CP_View* holder, CP_View* elsewhere)> remove;
  };
  const Case cases[] = {
      {"detached and destroyed by its view", false,
       [](CP_Window* w, CP_Pane* field, CP_View*, CP_View*) { w->DetachSubPane(field, false, true); }},
      {"deleted directly", false,
       [](CP_Window*, CP_Pane* field, CP_View*, CP_View*) {
         HWND native = field->GetHWND();
         delete field;
         DestroyWindow(native);
       }},
      {"its view destroyed with it", true,
       [](CP_Window* w, CP_Pane*, CP_View* holder, CP_View*) { w->DetachSubPane(holder, true, true); }},
      {"its view's panes deleted", true,
       [](CP_Window*, CP_Pane*, CP_View* holder, CP_View*) { holder->DeleteSubPanes(); }},
      {"moved to another window", false,
       [](CP_Window*, CP_Pane* field, CP_View*, CP_View* elsewhere) { field->SetParentPane(elsewhere, 0); }},
  };
  window->Show();
  auto other = MakeDocumentWindow(app, 100, 100);
  other->Show();
  const LPARAM frame = reinterpret_cast<LPARAM>(window->GetHWND());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SendMessageA(other->GetHWND(), WM_ACTIVATE, WA_INACTIVE, frame);  // this window becomes active
    ASSERT_TRUE(window->IsActive());
    CP_View* holder = c.inView ? AddPane<kxtest::ProbeView>(window, PaneAt(0, 0, 100, 60)) : nullptr;
    auto* field = AddPane<CommanderPane>(holder ? holder : window, PaneAt(0, 0, 30, 20));
    CP_M_Commander::ChangeTarget(field);

    SendMessageA(other->GetHWND(), WM_ACTIVATE, WA_ACTIVE, frame);  // this window loses activation
    ASSERT_FALSE(window->IsActive());
    ASSERT_EQ(static_cast<CP_M_Commander*>(field), window->GetPendingTarget());
    c.remove(window, field, holder, other.get());
    ASSERT_EQ(static_cast<CP_M_Commander*>(window), window->GetPendingTarget()) << "forgotten when it went";

    SendMessageA(other->GetHWND(), WM_ACTIVATE, WA_INACTIVE, frame);
    EXPECT_TRUE(window->IsActive());
    EXPECT_EQ(static_cast<CP_M_Commander*>(window), CP_M_Commander::GetTarget());
    window->DeleteSubPanes();
  }
}

TEST_F(WindowTest, ActivateMessagesNameTheOtherWindow) {
  window->Show();
  auto other = MakeDocumentWindow(app, 100, 100);
  other->Show();
  ASSERT_TRUE(other->IsActive());
  const LPARAM otherFrame = reinterpret_cast<LPARAM>(other->GetHWND());

  // This window becomes active: the one losing activation is deactivated.
  window->HandleMessage(window->GetHWND(), WM_ACTIVATE, WA_ACTIVE, otherFrame);
  EXPECT_FALSE(other->IsActive());
  // This window goes: the one gaining activation is activated.
  window->HandleMessage(window->GetHWND(), WM_ACTIVATE, WA_INACTIVE, otherFrame);
  EXPECT_TRUE(other->IsActive());

  HWND foreign = kxtest::MakePlainWindow();
  CP_M_Commander* target = CP_M_Commander::GetTarget();
  EXPECT_EQ(0, window->HandleMessage(window->GetHWND(), WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(foreign)));
  EXPECT_EQ(target, CP_M_Commander::GetTarget());
  DestroyWindow(foreign);
}

// Refuses or agrees to its windows closing.
class Parent : public CP_M_Commander {
 public:
  explicit Parent(CP_M_Commander* parent) : CP_M_Commander(parent) {}
  bool ApproveChildClose(CP_M_Commander*) override { return agree; }
  bool agree = false;
};

TEST_F(WindowTest, CloseAsksTheParentAndDeletesAWindowThatOwnsItself) {
  Parent parent(app);
  auto* doc = new CP_Window(&parent, Describe(CP_Window::kDocument, 10, 10, 120, 100), "closing");
  HWND frame = doc->GetHWND();
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  EXPECT_EQ(doc, desktop->FindWindowByHandle(frame));
  EXPECT_EQ(1, desktop->CountDocumentWindows());

  EXPECT_EQ(0, doc->ExecuteCommand(kCmd_Close));
  EXPECT_TRUE(IsWindow(frame)) << "the parent refused";
  parent.agree = true;
  EXPECT_EQ(0, doc->ExecuteCommand(kCmd_Close));
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_EQ(nullptr, desktop->FindWindowByHandle(frame));
  EXPECT_EQ(0, desktop->CountDocumentWindows());

  CP_Window orphan(nullptr, Describe(CP_Window::kDialogLike, 0, 0, 100, 100), "orphan");
  EXPECT_FALSE(orphan.TryClose()) << "no parent to ask";
}

TEST_F(WindowTest, WindowMoveAndThePanesMoveAreBothThere) {
  window->MoveTo(CP_Point(int16_t(40), int16_t(30)), true);
  EXPECT_EQ(40, Outer(window->GetHWND()).left);
  EXPECT_EQ(30, Outer(window->GetHWND()).top);
  EXPECT_EQ(CP_Point(int16_t(40), int16_t(30)), window->GetPosition());

  // The pane's own move, reached through a pane.
  CP_Pane* asPane = window;
  asPane->MoveTo(CP_Point(int16_t(70), int16_t(80)), 1);
  EXPECT_EQ(CP_Point(int16_t(70), int16_t(80)), window->GetLocation());
  EXPECT_EQ(70, Outer(window->GetHWND()).left);
  window->CallMoveTo(CP_Point(int16_t(75), int16_t(85)), 1);
  EXPECT_EQ(CP_Point(int16_t(75), int16_t(85)), window->GetLocation());
}

// A drop handle as the shell makes it: a DROPFILES header and the names,
// each ended by a zero, the list by another.
HGLOBAL DropOf(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  list += '\0';
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->pt = POINT{5, 5};
  header->fWide = FALSE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
  GlobalUnlock(memory);
  return memory;
}

// Opens what it is given, as a document program would.
class DropApplication : public CP_DocApplication {
 public:
  CP_Document* MakeNewDocument() override { return nullptr; }
  CP_Document* ChooseDocumentToOpen() override { return nullptr; }
  void OpenDocumentFile(const CP_FileSpec& spec) override { opened.push_back(spec); }
  std::vector<CP_FileSpec> opened;
};

TEST(WindowDropTest, DroppedFilesGoToTheDocumentApplicationOneByOne) {
  StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
  {
    DropApplication app;
    CP_Window window(&app, Describe(CP_Window::kDocument, 10, 10, 200, 100), "drop");
    window.SetOwnsItself(false);
    const std::string longName = "C:\\films\\" + std::string(290, 'f') + ".flm";
    HGLOBAL drop = DropOf({"C:\\films\\one.flm", "D:\\two.mov", longName});
    EXPECT_EQ(-1, SendMessageA(window.GetHWND(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0));
    ASSERT_EQ(3u, app.opened.size());
    EXPECT_EQ("C:\\films\\one.flm", app.opened[0].Path());
    EXPECT_EQ("D:\\two.mov", app.opened[1].Path());
    EXPECT_EQ(longName, app.opened[2].Path()) << "a long name is read whole";
    EXPECT_FALSE(app.opened[0].IsDirectory());
  }
  StopFramework();
}

// Files go only to a document application that is the default commander.
// Here it is a plain application: the files are left, even though the
// window answers to a document application, and the drop is still finished.
TEST_F(WindowTest, DroppedFilesWithoutADocumentApplicationAreLeft) {
  DropApplication documents;
  CP_M_Commander::SetDefaultCommander(app);
  auto doc = MakeDocumentWindow(&documents, 200, 100);
  HGLOBAL drop = DropOf({"C:\\a.flm"});
  EXPECT_EQ(-1, SendMessageA(doc->GetHWND(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0));
  EXPECT_TRUE(documents.opened.empty());
  EXPECT_EQ(0u, GlobalSize(drop)) << "the drop handle was given back";
  doc.reset();
}

TEST_F(WindowTest, CloseIsEnabledOnlyForAWindowWithACloseBox) {
  CreateMenuBar();
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  bar->LoadMenus(128);
  CP_Menu* file = bar->FindMenuByCommand(kCmd_Close);
  ASSERT_NE(nullptr, file);
  auto grayed = [&] { return (GetMenuState(file->GetHandle(), kCmd_Close, MF_BYCOMMAND) & MF_GRAYED) != 0; };

  file->DisableAllItems();
  window->GetCommandStatus(kCmd_Close, file);  // a dialog-like window has no close box
  EXPECT_TRUE(grayed());
  auto doc = MakeDocumentWindow(app, 100, 100);
  doc->GetCommandStatus(kCmd_Close, file);
  EXPECT_FALSE(grayed());
}

// Takes the Tab key.
class TabTaker : public CP_TabHandler {
 public:
  explicit TabTaker(int* taken) : fTaken(taken) {}
  bool HandleKey(int16_t, CP_Event&) override {
    ++*fTaken;
    return false;
  }

 private:
  int* fTaken;
};

TEST_F(WindowTest, TabGoesToTheTabHandlerWhileTheWindowIsEnabled) {
  int taken = 0;
  window->SetTabHandler(std::make_unique<TabTaker>(&taken));
  CP_Event event;
  EXPECT_TRUE(window->HandleKey(VK_TAB, event)) << "hidden: not enabled, the chain answers";
  EXPECT_EQ(0, taken);
  window->Show();
  EXPECT_FALSE(window->HandleKey(VK_TAB, event)) << "the handler's answer";
  EXPECT_EQ(1, taken);
  EXPECT_TRUE(window->HandleKey('x', event));
  EXPECT_EQ(1, taken);
}

TEST_F(WindowTest, TitleRoundTrips) {
  const std::string longTitle(300, 'k');
  window->SetTitle(longTitle);
  EXPECT_EQ(longTitle, window->GetTitle());
  window->SetTitle("");
  EXPECT_EQ("", window->GetTitle());
}

TEST_F(WindowTest, TooltipTextIsCutToItsBuffer) {
  auto* pane = AddPane(window, PaneAt(0, 0, 30, 20));
  pane->SetTooltipText(std::string(600, 'x'));
  NMTTDISPINFOA info = {};
  info.hdr.hwndFrom = window->GetHWND();
  info.hdr.idFrom = reinterpret_cast<UINT_PTR>(pane->GetHWND());
  info.hdr.code = TTN_NEEDTEXTA;
  const LPARAM l = reinterpret_cast<LPARAM>(&info);

  EXPECT_EQ(0, SendMessageA(window->GetHWND(), WM_NOTIFY, 0, l)) << "the switch is off";
  EXPECT_EQ(nullptr, info.lpszText);
  window->SetTooltipSwitch(1);
  EXPECT_EQ(1, SendMessageA(window->GetHWND(), WM_NOTIFY, 0, l));
  ASSERT_NE(nullptr, info.lpszText);
  EXPECT_EQ(std::string(511, 'x'), std::string(info.lpszText));

  pane->SetTooltipText("Rewind");
  SendMessageA(window->GetHWND(), WM_NOTIFY, 0, l);
  EXPECT_STREQ("Rewind", info.lpszText);
}

// The colour a handler painted into a memory DC of w x h.
COLORREF ErasedColour(HWND window, int w, int h, LRESULT* answer) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, w, h};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  *answer = SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const COLORREF pixel = GetPixel(dc, w / 2, h / 2);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixel;
}

TEST_F(WindowTest, ErasingFillsWithTheBackgroundColour) {
  LRESULT answer = 0;
  window->SetBackgroundColor(CP_RGBColor(0xFFFF, 0, 0), 0);
  EXPECT_EQ(RGB(255, 0, 0), ErasedColour(window->GetHWND(), 20, 20, &answer));
  EXPECT_EQ(1, answer);

  auto* pane = AddPane(window, PaneAt(0, 0, 30, 20));
  EXPECT_EQ(RGB(255, 0, 0), ErasedColour(pane->GetHWND(), 20, 20, &answer)) << "the window's colour";
  pane->SetBackgroundColor(CP_RGBColor(0, 0xFFFF, 0), 0);
  EXPECT_EQ(RGB(0, 255, 0), ErasedColour(pane->GetHWND(), 20, 20, &answer));
  EXPECT_EQ(1, answer);

  CP_WindowInfo info = Describe(CP_Window::kDialogLike, 0, 0, 50, 50);
  info.eraseOnRefresh = 0;
  CP_Window plain(app, info, "no erase");
  EXPECT_EQ(RGB(0, 0, 0), ErasedColour(plain.GetHWND(), 20, 20, &answer)) << "left to the class, which has no brush";
  EXPECT_EQ(0, answer);
}

TEST_F(WindowTest, ControlColoursComeFromTheSuperPane) {
  auto* view = AddPane<kxtest::ProbeView>(window, PaneAt(0, 0, 100, 100));
  auto* control = AddPane(view, PaneAt(0, 0, 30, 20));
  HDC dc = GetDC(control->GetHWND());
  const LPARAM from = reinterpret_cast<LPARAM>(control->GetHWND());

  EXPECT_NE(0, SendMessageA(view->GetHWND(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), from));
  EXPECT_EQ(RGB(255, 255, 255), GetBkColor(dc) & 0xFFFFFF) << "a super-pane without its own colour: white";
  view->SetBackgroundColor(CP_RGBColor(0, 0, 0xFFFF), 0);
  EXPECT_NE(0, SendMessageA(view->GetHWND(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), from));
  EXPECT_EQ(RGB(0, 0, 255), GetBkColor(dc) & 0xFFFFFF);
  ReleaseDC(control->GetHWND(), dc);

  ProbePane loose(nullptr, PaneAt(0, 0, 10, 10));
  EXPECT_EQ(0, loose.HandleControlColor(window->GetHWND(), WM_CTLCOLORBTN, 0, 0)) << "no colour to give";
}

TEST_F(WindowTest, WindowRoundTripsThroughAStream) {
  CP_WindowInfo info = Describe(CP_Window::kFloating, 40, 60, 220, 130);
  info.placement = 0;
  info.minimumSize = CP_Size(120, 110);
  info.startMinimized = 0;
  CP_Window source(app, info, "MainVideoWindow");
  source.SetOwnsItself(false);
  auto* pane = AddPane(&source, PaneAt(1, 2, 3, 4));
  (void)pane;

  for (int32_t version : {4, 6}) {
    kxtest::MemoryOutStream out(version);
    out.WriteHeader(version, 0);
    source.WriteToStream(out);
    auto* block = new CP_HandleBlock(int32_t(out.Bytes().size()));
    std::memcpy(block->GetPointer(), out.Bytes().data(), out.Bytes().size());
    block->Unlock();
    CP_HandleBlockInStream in(block, 1);

    CP_Window copy(app, CP_WindowInfo(), "", 0);
    copy.SetOwnsItself(false);
    EXPECT_EQ(nullptr, copy.GetHWND()) << "made without its native window";
    copy.ReadFromStream(nullptr, in);
    ASSERT_NE(nullptr, copy.GetHWND()) << version;
    EXPECT_EQ("MainVideoWindow", copy.GetTitle()) << version;
    EXPECT_EQ(CP_Window::kFloating, copy.GetKind()) << version;
    EXPECT_EQ(info.style, copy.GetDescription().style) << version;
    EXPECT_EQ(info.exStyle, copy.GetDescription().exStyle) << version;
    EXPECT_EQ(CP_Size(120, 110), copy.GetDescription().minimumSize) << version;
    EXPECT_EQ(220, Client(copy.GetHWND()).right) << version;
    // The sub-pane follows as a tree record of its own.
    int32_t tag = 0;
    in.ReadInt32(tag);
    EXPECT_EQ(int32_t(CP_FourCC("subv")), tag) << version;
    std::string className;
    in.ReadString(className);
    EXPECT_EQ("CP_Pane", className) << version;
  }
}

}  // namespace
