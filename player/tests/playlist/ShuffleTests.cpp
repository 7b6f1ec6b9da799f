// The play-list order: the engine's own generator and the shuffle rules.
#include "panes/GH_Shuffle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Entry {
  int32_t sortOrder;
  int32_t parentType;
  char name;
};

std::string Names(const std::vector<Entry>& list) {
  std::string names;
  for (const Entry& e : list) names += e.name;
  return names;
}

std::vector<Entry> Plain(const std::string& names, int32_t parentType = 0) {
  std::vector<Entry> list;
  for (char c : names) list.push_back({0, parentType, c});
  return list;
}

// A seed whose first draw is 32767, the top of the range.
uint32_t SeedGivingTopDraw() {
  for (uint32_t seed = 0;; ++seed) {
    GH_PlaylistRandom random;
    random.Seed(seed);
    if (random.Draw() == 32767) return seed;
  }
}

}  // namespace

TEST(PlaylistRandom, DrawsTheClassicSequenceFromOneSeed) {
  GH_PlaylistRandom random;
  random.Seed(1);
  for (int32_t want : {16838, 5758, 10113, 17515, 31051, 5627}) EXPECT_EQ(want, random.Draw());
}

TEST(PlaylistRandom, IndexStaysInsideTheStretch) {
  GH_PlaylistRandom top;
  top.Seed(SeedGivingTopDraw());
  // 32767 / 32767 is exactly 1: the last index, never one past it.
  EXPECT_EQ(4, ShuffleIndex(top, 5));
  GH_PlaylistRandom random;
  random.Seed(1);
  EXPECT_EQ(1, ShuffleIndex(random, 2));  // 16838 / 32767 * 2 = 1.03
  EXPECT_EQ(0, ShuffleIndex(random, 3));  // 5758 / 32767 * 3 = 0.53
}

TEST(PlaylistRandom, IndexesComeFromDoubleArithmetic) {
  // Draws whose exact quotient is whole: extended precision (the x87 unit
  // of a 32-bit build) gave 4, 5, 0, 8, 18 for them.
  struct Case {
    int32_t draw, m, want;
  };
  const Case kCases[] = {{23405, 7, 5}, {28086, 7, 6}, {4681, 7, 1}, {9513, 31, 9}, {20083, 31, 19}};
  for (const Case& c : kCases) EXPECT_EQ(c.want, ShuffleIndexOfDraw(c.draw, c.m)) << c.draw << " of " << c.m;
}

TEST(PlaylistShuffle, OrdersFollowTheRules) {
  struct Case {
    const char* name;
    std::vector<Entry> list;
    uint32_t seed;
    const char* want;
  };
  std::vector<Entry> leading = {{-1, 0, 'a'}, {-5, 1, 'b'}, {0, 0, 'C'}, {0, 0, 'D'}, {0, 0, 'E'}};
  std::vector<Entry> cdRun = {{0, 1, 'A'}, {0, 1, 'B'}, {0, 1, 'C'}, {0, 1, 'D'}};
  const Case kCases[] = {
      {"empty list", {}, 1, ""},
      {"one entry", Plain("A"), 1, "A"},
      {"all sort orders negative", {{-1, 1, 'A'}, {-2, 0, 'B'}, {-3, 1, 'C'}}, 1, "ABC"},
      // The first entry after the (empty) CD run keeps its place; 16838
      // picks the second of the two behind it.
      {"three plain entries", Plain("ABC"), 1, "ACB"},
      // 16838 of 4 picks the third, then 5758 of 3 and 10113 of 2 keep.
      {"only entries on the CD", cdRun, 1, "CBAD"},
      // Negative sort orders keep their places, C keeps its place, D and E
      // are exchanged by 16838 of 2.
      {"leading entries stay", leading, 1, "abCED"},
  };
  for (const Case& c : kCases) {
    std::vector<Entry> list = c.list;
    ShuffleEntries(list, c.seed);
    EXPECT_EQ(c.want, Names(list)) << c.name;
  }
}

TEST(PlaylistShuffle, CdRunStaysInFrontAndTheNextEntryKeepsItsPlace) {
  for (uint32_t seed = 0; seed < 1141; ++seed) {  // every seed the clock can give
    std::vector<Entry> list = {{-1, 0, 'x'}, {0, 1, 'a'}, {0, 1, 'b'}, {0, 1, 'c'}, {0, 2, 'K'},
                               {0, 2, 'P'}, {0, 1, 'q'}, {0, 2, 'R'}, {0, 2, 'S'}};
    ShuffleEntries(list, seed);
    const std::string names = Names(list);
    ASSERT_EQ('x', names[0]) << seed;
    for (int i = 1; i <= 3; ++i) ASSERT_NE(std::string::npos, std::string("abc").find(names[i])) << seed;
    ASSERT_EQ('K', names[4]) << seed;
    for (int i = 5; i < 9; ++i) ASSERT_NE(std::string::npos, std::string("PqRS").find(names[i])) << seed;
  }
}

TEST(PlaylistShuffle, LaterCdEntriesMixWithTheRest) {
  bool qMoved = false;
  for (uint32_t seed = 0; seed < 1141 && !qMoved; ++seed) {
    std::vector<Entry> list = {{0, 2, 'K'}, {0, 2, 'P'}, {0, 1, 'q'}, {0, 2, 'R'}};
    ShuffleEntries(list, seed);
    qMoved = Names(list).find('q') != 2;
  }
  EXPECT_TRUE(qMoved);
}

TEST(PlaylistShuffle, SameSeedSameOrder) {
  std::vector<Entry> first = Plain("ABCDEFGHIJ"), second = Plain("ABCDEFGHIJ");
  ShuffleEntries(first, 777);
  ShuffleEntries(second, 777);
  EXPECT_EQ(Names(first), Names(second));
  EXPECT_NE("ABCDEFGHIJ", Names(first));
}
