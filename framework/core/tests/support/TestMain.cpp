// The entry of every Windows test program. Under Wine a process that has
// run the shell, a common dialog or a rich edit control at times hangs in
// its exit after every test has passed; the result is known by then, so the
// program ends at once with it instead of running the exit's detach code.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), UINT(result));
  return result;
}
