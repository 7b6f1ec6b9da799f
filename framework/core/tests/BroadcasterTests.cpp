#include "CP_Broadcaster.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class Ear : public CP_M_Listener {
 public:
  explicit Ear(std::vector<int>* log = nullptr, int name = 0) : fLog(log), fName(name) {}
  void ReceiveBroadcast(CP_Message& message) override {
    ++fHeard;
    fLast = message.value;
    if (fLog) fLog->push_back(fName);
    if (fLeaveOnHearing) StopListeningTo(fLeaveOnHearing);
  }
  int fHeard = 0;
  int32_t fLast = 0;
  CP_M_Broadcaster* fLeaveOnHearing = nullptr;

 private:
  std::vector<int>* fLog;
  int fName;
};

TEST(BroadcasterTest, DefaultMessage) {
  CP_Message m;
  EXPECT_EQ(-1, m.value);
  EXPECT_EQ(255, m.code);
  EXPECT_EQ(nullptr, m.sender);
  EXPECT_EQ(0u, m.data);
  CP_Message set(&m, 0, 1, 9);
  set.Reset();
  EXPECT_EQ(-1, set.value);
}

TEST(BroadcasterTest, AddingTwiceDeliversOnce) {
  CP_M_Broadcaster b;
  Ear ear;
  b.AddListener(&ear);
  b.AddListener(&ear);
  CP_Message m(&b, 0, 5, 0);
  b.Broadcast(m);
  EXPECT_EQ(1, ear.fHeard);
  EXPECT_EQ(5, ear.fLast);
}

// The dead side's address is only compared, never followed.
TEST(BroadcasterTest, WhicheverDiesFirstUnlinksItself) {
  CP_M_Broadcaster b;
  const CP_M_Listener* goneListener = nullptr;
  {
    Ear shortLived;
    b.AddListener(&shortLived);
    ASSERT_TRUE(b.HasListener(&shortLived));
    goneListener = &shortLived;
  }
  EXPECT_FALSE(b.HasListener(goneListener));

  Ear survivor;
  const CP_M_Broadcaster* goneBroadcaster = nullptr;
  {
    CP_M_Broadcaster dying;
    dying.AddListener(&survivor);
    ASSERT_TRUE(survivor.IsListeningTo(&dying));
    goneBroadcaster = &dying;
  }
  EXPECT_FALSE(survivor.IsListeningTo(goneBroadcaster));
  // It can still listen elsewhere.
  b.AddListener(&survivor);
  CP_Message m;
  b.Broadcast(m);
  EXPECT_EQ(1, survivor.fHeard);
}

TEST(BroadcasterTest, ListenerLeavingDuringBroadcastDoesNotStopOthers) {
  std::vector<int> log;
  CP_M_Broadcaster b;
  Ear first(&log, 1), leaver(&log, 2), last(&log, 3);
  leaver.fLeaveOnHearing = &b;
  b.AddListener(&first);
  b.AddListener(&leaver);
  b.AddListener(&last);
  CP_Message m;
  b.Broadcast(m);
  b.Broadcast(m);
  EXPECT_EQ((std::vector<int>{1, 2, 3, 1, 3}), log);
}

TEST(BroadcasterTest, ListenerDestroyedInsideItsOwnBroadcast) {
  CP_M_Broadcaster b;
  struct SelfDestruct : CP_M_Listener {
    void ReceiveBroadcast(CP_Message&) override { delete this; }
  };
  Ear after;
  b.AddListener(new SelfDestruct);
  b.AddListener(&after);
  CP_Message m;
  b.Broadcast(m);
  b.Broadcast(m);
  EXPECT_EQ(2, after.fHeard);
}

}  // namespace
