// What both programs share when they register a CD: the lock between them
// and where a described item hangs.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "GH_CDRegistration.h"

namespace {

using gh_library::DescribedItem;
using gh_library::kTopLevel;
using gh_library::ParentPlaces;
using gh_library::RegistrationLock;

constexpr int32_t kCD = 1;
constexpr int32_t kFolder = 3;
constexpr int32_t kFilm = 4;

TEST(CDDescription, EveryItemHangsUnderAnItemOfItsOwnCD) {
  struct Case {
    const char* name;
    std::vector<DescribedItem> items;  // number, parent, kind
    std::vector<size_t> places;
  };
  const size_t top = kTopLevel;
  const Case kCases[] = {
      {"numbers are places from 1", {{1, -1, kCD}, {2, 1, kFolder}, {3, 2, kFilm}}, {top, 0, 1}},
      {"parent 0 is the first item", {{-1, -1, kCD}, {2, 0, kFilm}}, {top, 0}},
      {"a CD item is top level whatever its parent", {{-1, 2, kCD}, {2, 0, kFilm}}, {top, 0}},
      {"parent -1 is top level", {{-1, -1, kCD}, {2, -1, kFilm}}, {top, top}},
      {"a parent listed later", {{-1, -1, kCD}, {2, 3, kFilm}, {3, 0, kFolder}}, {top, 2, 0}},
      {"a number beyond the list names the item carrying it",
       {{-1, -1, kCD}, {2, 40, kFilm}, {40, 0, kFolder}}, {top, 2, 0}},
      // The library's own rows must never be named: 1 is its films folder,
      // -1001 its wastebasket.
      {"a number no item carries", {{-1, -1, kCD}, {2, 1, kFilm}, {3, 77, kFilm}}, {top, 0, 0}},
      {"the wastebasket's number", {{-1, -1, kCD}, {2, -1001, kFilm}}, {top, 0}},
      {"the CD's item need not come first", {{5, -1, kFilm}, {6, 9, kFilm}, {-1, -1, kCD}}, {top, 2, top}},
      {"no CD item: the first item", {{1, -1, kFolder}, {2, 9, kFilm}}, {top, 0}},
      {"an item under itself", {{-1, -1, kCD}, {2, 2, kFilm}}, {top, 0}},
      {"the first item under itself, with no CD item", {{1, 0, kFolder}, {2, 1, kFilm}}, {top, 0}},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.places, ParentPlaces(c.items)) << c.name;
}

// Two threads own a named mutex apart, as two programs do.
TEST(RegistrationLockTest, ASecondRegistrationWaitsForTheFirst) {
  auto first = std::make_unique<RegistrationLock>();
  ASSERT_TRUE(first->Held());
  HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  bool secondHeld = false;
  std::thread second([&] {
    RegistrationLock lock;
    secondHeld = lock.Held();
    SetEvent(taken);
  });
  EXPECT_EQ(DWORD(WAIT_TIMEOUT), WaitForSingleObject(taken, 300)) << "taken while the first holds it";
  first.reset();
  EXPECT_EQ(DWORD(WAIT_OBJECT_0), WaitForSingleObject(taken, 10000));
  second.join();
  EXPECT_TRUE(secondHeld);
  CloseHandle(taken);
}

// A program that dies registering never releases the lock; Windows hands
// it on as abandoned, and the next registration must take it.
TEST(RegistrationLockTest, ALockWhoseHolderDiedIsTaken) {
  RegistrationLock* left = nullptr;
  std::thread dying([&] { left = new RegistrationLock; });  // ends holding it
  dying.join();
  ASSERT_TRUE(left && left->Held());

  bool held = false;
  std::thread next([&] {
    RegistrationLock lock;
    held = lock.Held();
  });
  next.join();
  EXPECT_TRUE(held);
  delete left;
}

}  // namespace
