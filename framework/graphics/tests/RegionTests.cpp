#include "CP_Region.h"

#include <gtest/gtest.h>

namespace {

TEST(RegionTest, BoundsAndSizeOfEveryConstructor) {
  struct Case {
    const char* name;
    CP_Region region;
  };
  const Case cases[] = {
      {"four sides", CP_Region(10, 20, 30, 40)},
      {"point and size", CP_Region(CP_Point(10, 20), CP_Size(20, 20))},
      {"rect", CP_Region(CP_Rect(10, 20, 30, 40))},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CP_Rect(10, 20, 30, 40), c.region.GetBounds()) << c.name;
    EXPECT_EQ(20, c.region.GetWidth()) << c.name;
    EXPECT_EQ(20, c.region.GetHeight()) << c.name;
    EXPECT_FALSE(c.region.IsEmpty()) << c.name;
  }
}

TEST(RegionTest, EmptinessAndTheClassWideRegions) {
  EXPECT_TRUE(CP_Region().IsEmpty());
  EXPECT_TRUE(CP_Region::Empty.IsEmpty());
  EXPECT_TRUE(CP_Region(5, 5, 5, 20).IsEmpty());  // no width
  EXPECT_FALSE(CP_Region::Everything.IsEmpty());
  EXPECT_TRUE(CP_Region::Everything.GetBounds().ContainsPoint(CP_Point(-30000, 30000)));
}

TEST(RegionTest, IntersectAssignAndCopyKeepTheirOwnHandles) {
  CP_Region a(0, 0, 10, 10);
  a.Intersect(CP_Region(5, 5, 20, 20));
  EXPECT_EQ(CP_Rect(5, 5, 10, 10), a.GetBounds());
  a.Intersect(CP_Region(50, 50, 60, 60));
  EXPECT_TRUE(a.IsEmpty());

  CP_Region b(1, 2, 3, 4);
  CP_Region c(b);
  CP_Region d;
  EXPECT_EQ(&d, &d.Assign(b));
  EXPECT_NE(b.GetHandle(), c.GetHandle());
  b.SetRect(0, 0, 100, 100);
  EXPECT_EQ(CP_Rect(1, 2, 3, 4), c.GetBounds());
  EXPECT_EQ(CP_Rect(1, 2, 3, 4), d.GetBounds());
  d = b;
  EXPECT_EQ(CP_Rect(0, 0, 100, 100), d.GetBounds());
}

}  // namespace
