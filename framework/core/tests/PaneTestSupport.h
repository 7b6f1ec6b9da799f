#pragma once
// Panes and windows for the tests: a probe that records which of its own
// operations ran, a native window class that records what reaches the
// procedure behind a pane, and a scene of one framework window.
#include "CP_Application.h"
#include "CP_Framework.h"
#include "CP_View.h"
#include "CP_Window.h"
#include "FrameworkFixture.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kxtest {

// What reached the "KxRecorder" window procedure: (message, wParam).
inline std::vector<std::pair<UINT, WPARAM>>& RecordedMessages() {
  static std::vector<std::pair<UINT, WPARAM>> messages;
  return messages;
}

inline LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_COMMAND:
    case WM_APP:
      RecordedMessages().emplace_back(message, wParam);
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

inline void RegisterRecorderClass() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = RecorderProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "KxRecorder";
  RegisterClassExA(&wc);
}

inline CP_PaneInfo PaneAt(int x, int y, int width, int height, CP_Bindings bindings = {},
                          uint8_t visible = 1) {
  CP_PaneInfo info(CP_Point(int32_t(x), int32_t(y)), CP_Size(width, height));
  info.bindings = bindings;
  info.visible = visible;
  return info;
}

// A pane or view that logs its own native operations.
template <typename Base>
class Probe : public Base {
 public:
  Probe(CP_View* superPane, const CP_PaneInfo& info) : Base(superPane, info) {}

  // A "CP_Pane" window, or with `recorder` a "KxRecorder" window behind the
  // framework procedure.
  void MakeNativeWindow(bool recorder = false) {
    CP_View* super = this->GetSuperPane();
    if (!recorder) {
      this->MakeWindow(super, this->GetLocation(), CP_Size(this->GetWidth(), this->GetHeight()));
      return;
    }
    RegisterRecorderClass();
    this->CreatePaneWindow(super, this->GetLocation(), CP_Size(this->GetWidth(), this->GetHeight()),
                           "probe", "KxRecorder", WS_CHILD, 0);
    this->SubclassWindow(PaneWindowProc);
  }

  void SetStates(uint8_t visible, uint8_t active, uint8_t enabled) {
    this->fVisibleState = visible;
    this->fActiveState = active;
    this->fEnabledState = enabled;
  }

  void ActivateOwn() override { Log("ActivateOwn"); Base::ActivateOwn(); }
  void DeactivateOwn() override { Log("DeactivateOwn"); Base::DeactivateOwn(); }
  void ShowOwnWindow() override { Log("ShowOwnWindow"); Base::ShowOwnWindow(); }
  void HideOwnWindow() override { Log("HideOwnWindow"); Base::HideOwnWindow(); }
  void EnableOwn() override { Log("EnableOwn"); Base::EnableOwn(); }
  void DisableOwn() override { Log("DisableOwn"); Base::DisableOwn(); }
  void HandleOwnClick(CP_Event& event, const CP_Point& point, uint32_t keys) override {
    Log("HandleOwnClick");
    lastClick = point;
    if (onClick) onClick(event);
    else Base::HandleOwnClick(event, point, keys);
  }
  void HandleOwnMouseUp(CP_Event& event) override { Log("HandleOwnMouseUp"); Base::HandleOwnMouseUp(event); }
  void HandleDoubleClick(CP_Event& event, const CP_Point& point, uint32_t keys) override {
    Log("HandleDoubleClick");
    Base::HandleDoubleClick(event, point, keys);
  }
  void ControlHook1(uint32_t value) override { Log("ControlHook1:" + std::to_string(value)); }
  LRESULT HandleControlNotification(WPARAM wParam, LPARAM) override {
    Log("HandleControlNotification:" + std::to_string(HIWORD(wParam)));
    return -1;
  }
  void TreeNotice() override { Log("TreeNotice"); }

  void Log(const std::string& call) { calls.push_back(call); }
  std::string Calls() const {
    std::string all;
    for (const std::string& c : calls) all += (all.empty() ? "" : " ") + c;
    return all;
  }

  std::vector<std::string> calls;
  CP_Point lastClick;
  std::function<void(CP_Event&)> onClick;

  using Base::SubclassWindow;
  using Base::fVisibleState;
  using Base::fActiveState;
  using Base::fEnabledState;
};

using ProbePane = Probe<CP_Pane>;
using ProbeView = Probe<CP_View>;

// One framework window (a popup with a caption, content 300 x 200 at
// (100, 100), not shown) under an application.
class SceneTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    app = new CP_Application;
    window = new CP_Window(app, Describe(CP_Window::kDialogLike, 100, 100, 300, 200), "scene");
    window->SetOwnsItself(false);
  }
  void TearDown() override {
    delete window;
    delete app;
    FrameworkTest::TearDown();
  }

  // A pane in `super` with its native window.
  template <typename P = ProbePane>
  P* AddPane(CP_View* super, const CP_PaneInfo& info, bool recorder = false) {
    auto* pane = new P(super, info);
    pane->MakeNativeWindow(recorder);
    return pane;
  }

  CP_Application* app = nullptr;
  CP_Window* window = nullptr;
};

// The pane's native window's place in its parent's client area.
inline RECT PlaceInParent(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace kxtest
