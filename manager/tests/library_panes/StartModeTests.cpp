// The start mode chosen from the command line, and the screen size chosen
// on the first start.
#include "CP_TreeList_Application.h"
#include "GH_StartModes.h"

#include <gtest/gtest.h>

namespace {

TEST(StartModeTest, TheWholeCommandLineChoosesTheMode) {
  struct Case {
    const char* line;
    GH_StartMode want;
  };
  const Case cases[] = {
      {"", GH_StartMode::kNormal},         {"s", GH_StartMode::kNormal},
      {"-d", GH_StartMode::kDiagnostics},  {"-D", GH_StartMode::kDiagnostics},
      {"-s", GH_StartMode::kFilmsFolder},  {"-S", GH_StartMode::kFilmsFolder},
      {"-d ", GH_StartMode::kNormal},      {"/d", GH_StartMode::kNormal},
      {"-dx", GH_StartMode::kNormal},      {"42", GH_StartMode::kNormal},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, ChooseStartMode(c.line)) << '"' << c.line << '"';
}

TEST(StartModeTest, TheLargestSizeThatFitsTheScreenHeight) {
  struct Case {
    int32_t height;
    const char* want;
  };
  const Case cases[] = {
      {400, ""},           {479, ""},           {480, "640 x 480"},   {700, "800 x 600"},
      {768, "1024 x 768"}, {1023, "1152 x 864"}, {1024, "1280 x 1024"}, {1600, "1600 x 1200"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.want, CP_TreeList_Application::ScreenSizeForHeight(c.height)) << c.height;
}

}  // namespace
