// Stands in for "KX3 Engine.exe": writes its command line, without the
// program's own name, into "engine_args.txt" beside itself and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string file(path);
  file = file.substr(0, file.find_last_of('\\') + 1) + "engine_args.txt";
  const std::string text = arguments ? arguments : "";
  // Written under another name first: the test reads the file once whole.
  const std::string partial = file + ".part";
  if (FILE* out = std::fopen(partial.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    MoveFileExA(partial.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  return 0;
}
