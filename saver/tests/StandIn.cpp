// Stands in for the engine and the library manager: records in the log of
// its folder that it was started and with which arguments, then runs until
// the file "end" appears in its folder.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  const std::string path = self;
  const std::string folder = path.substr(0, path.rfind('\\') + 1);
  const std::string name = path.substr(folder.size());
  if (std::FILE* log = std::fopen((folder + "started.log").c_str(), "a")) {
    std::fprintf(log, "%s|%s\n", name.c_str(), arguments);
    std::fclose(log);
  }
  // A minute at most: a test that failed must not leave it running.
  for (int waited = 0; waited < 60000; waited += 20) {
    if (GetFileAttributesA((folder + "end").c_str()) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(20);
  }
  return 0;
}
