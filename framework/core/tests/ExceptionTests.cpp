#include "CP_Exception.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ExceptionTest, TextIsCutTo254Characters) {
  const std::string longText(300, 'x');
  CP_RuntimeException e(longText.c_str(), "CP_File.cpp", 42);
  EXPECT_EQ(std::string(254, 'x'), e.GetText());
  EXPECT_EQ(0, e.GetErrorCode());

  CP_CPErrorException coded(kCP_RequestRefused, "CP_ListView.cpp", 9);
  EXPECT_STREQ("", coded.GetText());
  EXPECT_EQ(-1200, coded.GetErrorCode());
}

TEST(ExceptionTest, ThrowHelpers) {
  int value = 0;
  EXPECT_NO_THROW(ThrowIfNull(&value, "x.cpp", 1));
  EXPECT_NO_THROW(ThrowIfPlatformError(0, "x.cpp", 1));
  try {
    ThrowIfNull(nullptr, "CP_File.cpp", 42);
    FAIL();
  } catch (const CP_MemoryException& e) {
    EXPECT_STREQ("NULL Pointer", e.GetText());
    EXPECT_STREQ("CP_File.cpp", e.GetSourceFile());
    EXPECT_EQ(42, e.GetLine());
  }
  EXPECT_THROW(ThrowIfPlatformError(kCP_FileError, "x.cpp", 1), CP_PlfrmErrorException);
  EXPECT_THROW(ThrowConditionFailed(kCP_RequestRefused, "x.cpp", 1), CP_CPErrorException);
}

TEST(ExceptionTest, ReportBoxShowsFileLineAndText) {
  struct Case {
    const char* name;
    void (*report)();
    const char* want;
  };
  const Case cases[] = {
      {"memory exception",
       [] { CP_MemoryException("NULL Pointer", "CP_File.cpp", 42).Report(); },
       "Exception thrown\rFile: CP_File.cpp\rLine:42\rException: NULL Pointer"},
      {"condition failed: code not shown",
       [] { CP_CPErrorException(-1200, "CP_ListView.cpp", 7).Report(); },
       "Exception thrown\rFile: CP_ListView.cpp\rLine:7\rCondition: "},
      {"platform error: code not shown",
       [] { CP_PlfrmErrorException(-36, "CP_File.cpp", 3).Report(); },
       "Exception thrown\rFile: CP_File.cpp\rLine:3\rException: "},
  };
  for (const Case& c : cases) {
    kxtest::MessageBoxWatcher watcher("CP_Exception", IDOK);
    c.report();
    ASSERT_TRUE(watcher.WaitFor(1)) << c.name;
    // The box's static text shows the carriage returns as line breaks.
    std::string text = watcher.LastText();
    EXPECT_EQ(c.want, text) << c.name;
  }
}

TEST(ExceptionTest, CancelWithoutDebuggerGoesOn) {
  ASSERT_FALSE(IsDebuggerPresent());
  kxtest::MessageBoxWatcher watcher("CP_Exception", IDCANCEL);
  CP_RuntimeException("cancelled", "x.cpp", 1).Report();
  EXPECT_EQ(1, watcher.Count());  // and the process is still here
}

}  // namespace
