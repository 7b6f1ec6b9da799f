#include "utility/GH_Assert.h"

#include "CP_Win.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What reached the debugger: the output lines and the breaks.
std::vector<std::string> gDebugLines;
int gBreaks = 0;

LONG CALLBACK WatchDebugger(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  if (code == DBG_PRINTEXCEPTION_C && info->ExceptionRecord->NumberParameters >= 2) {
    gDebugLines.emplace_back(reinterpret_cast<const char*>(info->ExceptionRecord->ExceptionInformation[1]),
                             size_t(info->ExceptionRecord->ExceptionInformation[0]) - 1);
    return EXCEPTION_CONTINUE_SEARCH;
  }
  if (code == EXCEPTION_BREAKPOINT) {
    ++gBreaks;
#if defined(_WIN64)
    info->ContextRecord->Rip += 1;  // past the one-byte breakpoint
#else
    info->ContextRecord->Eip += 1;
#endif
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

class EngineAssertionReport : public ::testing::Test {
 protected:
  void SetUp() override {
    gDebugLines.clear();
    gBreaks = 0;
    handler = AddVectoredExceptionHandler(1, WatchDebugger);
  }
  void TearDown() override { RemoveVectoredExceptionHandler(handler); }
  void* handler = nullptr;
};

TEST_F(EngineAssertionReport, TextsSeparateFieldsWithCarriageReturnsAlone) {
  struct Case {
    const char* file;
    int16_t line;
    const char* condition;
    const char* debugLine;
    const char* box;
  };
  const Case kCases[] = {
      {"GH_DocumentWindow", 120, "fPlatformWindow != NULL", "GH_DocumentWindow(120) : fPlatformWindow != NULL\n",
       "Assertion thrown\rError: fPlatformWindow != NULL\rFile: GH_DocumentWindow\rLine:120"},
      {"GH_QT_MoviePane", -7, "fWindow != NULL", "GH_QT_MoviePane(-7) : fWindow != NULL\n",
       "Assertion thrown\rError: fWindow != NULL\rFile: GH_QT_MoviePane\rLine:-7"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.debugLine, AssertionDebugLine(c.file, c.line, c.condition));
    EXPECT_EQ(c.box, AssertionBoxText(c.file, c.line, c.condition));
  }
}

TEST_F(EngineAssertionReport, OkReturnsAndCancelBreaksIntoTheDebugger) {
  {
    kxtest::MessageBoxWatcher boxes("CP_Debug", IDOK);
    ReportAssertion("EM_DocumentWindow", 33, "fWindow != NULL");
    ASSERT_EQ(1, boxes.Count());
    EXPECT_EQ("Assertion thrown\rError: fWindow != NULL\rFile: EM_DocumentWindow\rLine:33", boxes.LastText());
  }
  EXPECT_EQ(0, gBreaks);
  if (!gDebugLines.empty()) {
    EXPECT_EQ("EM_DocumentWindow(33) : fWindow != NULL\n", gDebugLines.back());
  }
  {
    kxtest::MessageBoxWatcher boxes("CP_Debug", IDCANCEL);
    ReportAssertion("EM_DocumentWindow", 34, "fWindow != NULL");
    ASSERT_EQ(1, boxes.Count());
  }
  EXPECT_EQ(1, gBreaks) << "the program goes on after the break";
}

}  // namespace
