// Stands in for the programs the diagnostics start (the codec installer, the
// CD's own program): writes its command line and current folder to a file
// beside itself, named after it with ".log" added, and ends.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  char log[MAX_PATH + 8] = {};
  std::snprintf(log, sizeof log, "%s.log", self);
  char part[MAX_PATH + 8] = {};
  std::snprintf(part, sizeof part, "%s.part", self);
  FILE* out = std::fopen(part, "wb");
  if (!out) return 1;
  std::fprintf(out, "command=%s\nfolder=%s\n", GetCommandLineA(), folder);
  std::fclose(out);
  // Complete or not at all: the test reads the file once it appears.
  return MoveFileA(part, log) ? 0 : 1;
}
