// What the saver makes of the command lines Windows gives it.
#include "Saver.h"
#include "ScreenSaverLibrary.h"

#include <gtest/gtest.h>

namespace {

TEST(SaverCommandLine, TheFirstLetterDecides) {
  struct Case {
    const char* arguments;
    SaverRequest request;
    UINT_PTR window;
  };
  const Case kCases[] = {
      {"/s", SaverRequest::Run, 0},
      {"-S", SaverRequest::Run, 0},
      {" \t/-s extra", SaverRequest::Run, 0},
      {"/p 1234", SaverRequest::Preview, 1234},
      {"/P:77", SaverRequest::Preview, 77},
      {"/l 4294967295", SaverRequest::Preview, 0xFFFFFFFFu},  // handles are unsigned
      {"/p", SaverRequest::Preview, 0},
      {"/c", SaverRequest::Configure, 0},
      {"/c:5678", SaverRequest::Configure, 5678},
      {"/c 5678", SaverRequest::Configure, 0},  // the owner comes only after a colon
      {"", SaverRequest::Configure, 0},
      {"  ", SaverRequest::Configure, 0},
      {"/a:42", SaverRequest::ChangePassword, 42},
      {"/x", SaverRequest::Nothing, 0},
      {"7", SaverRequest::Nothing, 0},
  };
  for (const Case& c : kCases) {
    const SaverCommand command = ParseSaverCommandLine(c.arguments);
    EXPECT_EQ(c.request, command.request) << c.arguments;
    EXPECT_EQ(c.window, reinterpret_cast<UINT_PTR>(command.window)) << c.arguments;
  }
}

// The preview is asked for by the arguments; the program's own path, quoted
// or not, never counts, whatever its folders are called.
TEST(SaverCommandLine, PreviewOnlyFromTheArguments) {
  struct Case {
    const char* commandLine;
    bool preview;
  };
  const Case kCases[] = {
      {"\"C:\\WINDOWS\\SYSTEM\\KX3SAV~1.SCR\" /p 1234", true},
      {"C:\\WINDOWS\\KX3SAV~1.SCR /P 1234", true},
      {"C:\\WINDOWS\\KX3SAV~1.SCR -p 1234", true},
      {"C:\\WINDOWS\\KX3SAV~1.SCR /s", false},
      {"\"C:\\kx-player\\Glintharbour KX3 Saver.scr\" /s", false},
      {"\"C:\\kx-player\\a/p\\Glintharbour KX3 Saver.scr\" /c", false},
      {"C:\\kx-play\\KX3SAV~1.SCR /S", false},
      {"\"C:\\kx-player\\saver.scr\"", false},
      {"\"C:\\unclosed -p", false},
      {"", false},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.preview, IsPreviewCommandLine(c.commandLine)) << c.commandLine;
}

}  // namespace
