// The glue and the library agree: every function the glue forwards is
// exported by QuickTime.qts under its own name.
#include "QTExportList.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

TEST(Glue, EveryForwardedFunctionIsExported) {
  char dir[MAX_PATH];
  ASSERT_NE(0u, GetSystemDirectoryA(dir, MAX_PATH));
  HMODULE library = LoadLibraryA((std::string(dir) + "\\QuickTime.qts").c_str());
  ASSERT_NE(nullptr, library);
  const char* names[] = {
#define QT_NAME(ret, name, params, args, missing) #name,
      QT_FORWARDED_FUNCTIONS(QT_NAME)
#undef QT_NAME
      "InitializeQTML", "TerminateQTML", "OffsetRect"};
  for (const char* name : names) EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(library, name))) << name;
  FreeLibrary(library);
}

TEST(Glue, CallsBeforeTheLibraryIsLoadedAnswerAnError) {
  EXPECT_EQ(qtmlDllLoadErr, EnterMovies());
  EXPECT_EQ(nullptr, NewHandle(4));
  ASSERT_EQ(noErr, InitializeQTML(0));
  EXPECT_EQ(noErr, EnterMovies());
  Handle h = NewHandle(4);
  EXPECT_NE(nullptr, h);
  DisposeHandle(h);
  ExitMovies();
  TerminateQTML();
  EXPECT_EQ(nullptr, NewHandle(4));
}

}  // namespace
