#include "CP_EventHandler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every event it is offered; consumes when told to.
class Recorder : public CP_EventHandlerAttachment {
 public:
  Recorder(uint32_t kind, std::string name, std::vector<std::string>* log, bool consume = false,
           int* deletions = nullptr)
      : CP_EventHandlerAttachment(kind), fName(std::move(name)), fLog(log), fConsume(consume),
        fDeletions(deletions) {}
  ~Recorder() override {
    if (fDeletions) ++*fDeletions;
  }
  bool HandleEvent(uint32_t, uintptr_t) override {
    fLog->push_back(fName);
    return !fConsume;
  }

 private:
  std::string fName;
  std::vector<std::string>* fLog;
  bool fConsume;
  int* fDeletions;
};

class Attachable : public CP_M_EventHandlerAttachable {};

TEST(EventHandlerTest, InsertionPositions) {
  struct Case {
    const char* name;
    std::vector<int16_t> positions;  // attach a, b, c ... at these positions
    std::string want;
  };
  const Case cases[] = {
      {"appends by default", {-1, -1, -1}, "abc"},
      {"position 0 puts in front", {-1, -1, 0}, "cab"},
      {"middle position", {-1, -1, 1}, "acb"},
      {"position equal to count appends", {-1, 1, 2}, "abc"},
      {"position beyond count appends", {-1, 5, 9}, "abc"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> log;
    Attachable object;
    std::string name = "a";
    for (int16_t position : c.positions) {
      object.AttachEventHandler(new Recorder(kEventKind_Any, name, &log), position);
      name[0]++;
    }
    object.RunEventHandlers(kEventKind_RunLoop, 0);
    std::string got;
    for (auto& s : log) got += s;
    EXPECT_EQ(c.want, got) << c.name;
  }
}

TEST(EventHandlerTest, EveryHandlerIsOfferedAndOneConsumerDecides) {
  std::vector<std::string> log;
  Attachable object;
  object.AttachEventHandler(new Recorder(kEventKind_ExecuteCommand, "first", &log, true));
  object.AttachEventHandler(new Recorder(kEventKind_ExecuteCommand, "second", &log));
  object.AttachEventHandler(new Recorder(kEventKind_CommandStatus, "other kind", &log, true));

  EXPECT_FALSE(object.RunEventHandlers(kEventKind_ExecuteCommand, 7));
  EXPECT_EQ((std::vector<std::string>{"first", "second"}), log);

  log.clear();
  EXPECT_TRUE(object.RunEventHandlers(kEventKind_PostedCommand, 0)) << "nobody listens to EVpc";
  EXPECT_TRUE(log.empty());
}

TEST(EventHandlerTest, AnyKindHandlerSeesEveryKind) {
  std::vector<std::string> log;
  Attachable object;
  object.AttachEventHandler(new Recorder(kEventKind_Any, "any", &log));
  for (uint32_t kind : {kEventKind_RunLoop, kEventKind_ExecuteCommand, kEventKind_CommandStatus,
                        kEventKind_PostedCommand})
    EXPECT_TRUE(object.RunEventHandlers(kind, 0));
  EXPECT_EQ(4u, log.size());
}

TEST(EventHandlerTest, NoHandlersMeansNotConsumed) {
  Attachable object;
  EXPECT_TRUE(object.RunEventHandlers(kEventKind_RunLoop, 0));
  EXPECT_EQ(0, object.CountEventHandlers());
  EXPECT_EQ(0, object.FindEventHandlerIndex(nullptr));
}

TEST(EventHandlerTest, FindAndDetach) {
  std::vector<std::string> log;
  Attachable object;
  auto* a = new Recorder(kEventKind_Any, "a", &log);
  auto* b = new Recorder(kEventKind_Any, "b", &log);
  auto* c = new Recorder(kEventKind_Any, "c", &log);
  object.AttachEventHandler(a);
  object.AttachEventHandler(b);
  object.AttachEventHandler(c);
  EXPECT_EQ(3, object.FindEventHandlerIndex(c));

  object.DetachEventHandler(b);
  object.DetachEventHandler(b);  // not attached any more: nothing
  EXPECT_EQ(2, object.CountEventHandlers());
  EXPECT_EQ(0, object.FindEventHandlerIndex(b));
  object.RunEventHandlers(kEventKind_RunLoop, 0);
  EXPECT_EQ((std::vector<std::string>{"a", "c"}), log);
  delete b;
}

TEST(EventHandlerTest, DestructionDeletesEachHandlerOnce) {
  std::vector<std::string> log;
  int deletions = 0;
  {
    Attachable object;
    for (const char* name : {"a", "b", "c"})
      object.AttachEventHandler(new Recorder(kEventKind_Any, name, &log, false, &deletions));
  }
  EXPECT_EQ(3, deletions);
}

// Detaches (and deletes) itself when offered an event.
class OneShot : public CP_EventHandlerAttachment {
 public:
  OneShot(CP_M_EventHandlerAttachable* owner, std::vector<std::string>* log)
      : CP_EventHandlerAttachment(kEventKind_Any), fOwner(owner), fLog(log) {}
  bool HandleEvent(uint32_t, uintptr_t) override {
    fLog->push_back("once");
    fOwner->DetachEventHandler(this);
    delete this;
    return true;
  }

 private:
  CP_M_EventHandlerAttachable* fOwner;
  std::vector<std::string>* fLog;
};

TEST(EventHandlerTest, HandlerThatDetachesItselfDoesNotHideTheNextOne) {
  std::vector<std::string> log;
  Attachable object;
  object.AttachEventHandler(new OneShot(&object, &log));
  object.AttachEventHandler(new Recorder(kEventKind_Any, "next", &log));
  object.AttachEventHandler(new Recorder(kEventKind_Any, "last", &log));
  object.RunEventHandlers(kEventKind_RunLoop, 0);
  object.RunEventHandlers(kEventKind_RunLoop, 0);
  EXPECT_EQ((std::vector<std::string>{"once", "next", "last", "next", "last"}), log);
}

}  // namespace
