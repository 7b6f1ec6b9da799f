#pragma once
// The root object of a framework program: the run loop, the end of every
// commander chain, and the maker of the menu bar.
#include "CP_Commander.h"
#include "CP_Event.h"
#include "CP_Geometry.h"

#include <exception>

class CP_Application : public CP_M_EventDispatcher, public CP_M_Commander {
 public:
  CP_Application();
  ~CP_Application() override;

  // Returns when the quit flag is set or a failure escaped a step.
  virtual void Run();
  virtual void StartUp() {}
  virtual void GetDefaultWindowBounds(CP_Rect& bounds);
  int32_t ExecuteCommand(int32_t command) override;
  int32_t AnswerCommanderQuery(uint32_t a, uint32_t b) override;
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override;
  virtual void ReservedHook() {}
  virtual void ShowAboutBox();
  virtual bool Quit();
  virtual void CreateMenuBar();
  virtual void InstallMenuBar();
  virtual void Initialize() {}
  virtual void ApplicationHook() {}
  bool ApproveChildClose(CP_M_Commander* child) override;
  // A failure that ended the run loop; for derived applications to show.
  virtual void ReportException(const std::exception& failure);

  // Waits for any message of the thread; false on WM_QUIT and on an error.
  // Errors in a row end the loop: the queue is gone and every wait fails.
  bool GetNextEvent(CP_Event& event);
  bool IsQuitting() const { return fQuit; }

  static constexpr int kMessageErrorsToQuit = 10;

 protected:
  void SetQuitFlag() { fQuit = true; }
  // GetMessageA's answer: above 0 a message, 0 WM_QUIT, -1 an error.
  virtual BOOL ReadMessage(MSG& msg) { return GetMessageA(&msg, nullptr, 0, 0); }

 private:
  void RunSteps();

  bool fQuit = false;
  int fMessageErrors = 0;
};
