#include "CP_Event.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class LogIdler : public CP_M_Idler {
 public:
  LogIdler(std::string name, std::vector<std::string>* log) : fName(std::move(name)), fLog(log) {}
  void IdleCallsStarted() override { fLog->push_back(fName + " started"); }
  void IdleCallsStopped() override { fLog->push_back(fName + " stopped"); }
  void Idle(CP_Event&) override {
    fLog->push_back(fName);
    if (fStopInside) StopIdleCalls();
    if (fDeleteInside) delete this;
  }
  bool fStopInside = false;
  bool fDeleteInside = false;

 private:
  std::string fName;
  std::vector<std::string>* fLog;
};

TEST(IdlerTest, StartTwiceRegistersOnce) {
  std::vector<std::string> log;
  LogIdler a("a", &log);
  a.StartIdleCalls();
  a.StartIdleCalls();
  CP_Event event;
  CP_M_Idler::RunIdlers(event);
  EXPECT_EQ((std::vector<std::string>{"a started", "a"}), log);
  EXPECT_EQ(1u, CP_M_Idler::CountIdlers());
}

TEST(IdlerTest, IdlerStoppingItselfInsideIdle) {
  std::vector<std::string> log;
  LogIdler a("a", &log), b("b", &log), c("c", &log);
  a.StartIdleCalls();
  b.StartIdleCalls();
  c.StartIdleCalls();
  b.fStopInside = true;
  log.clear();
  CP_Event event;
  CP_M_Idler::RunIdlers(event);
  CP_M_Idler::RunIdlers(event);
  EXPECT_EQ((std::vector<std::string>{"a", "b", "b stopped", "c", "a", "c"}), log);
}

TEST(IdlerTest, LastIdlerDeletedInsideIdleEndsThePass) {
  std::vector<std::string> log;
  auto* only = new LogIdler("only", &log);
  only->StartIdleCalls();
  only->fDeleteInside = true;
  CP_Event event;
  CP_M_Idler::RunIdlers(event);  // the list dies with it; the pass must not touch it
  EXPECT_EQ(0u, CP_M_Idler::CountIdlers());
  CP_M_Idler::RunIdlers(event);
  // The stop hook ran from the base destructor: the derived hook is gone by then.
  EXPECT_EQ((std::vector<std::string>{"only started", "only"}), log);
}

TEST(IdlerTest, SecondStopRunsTheHookAgain) {
  std::vector<std::string> log;
  LogIdler a("a", &log);
  a.StartIdleCalls();
  a.StopIdleCalls();
  a.StopIdleCalls();
  EXPECT_EQ((std::vector<std::string>{"a started", "a stopped", "a stopped"}), log);
}

}  // namespace
