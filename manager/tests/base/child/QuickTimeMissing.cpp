// Run by the start-up window tests: shows the start-up window, then asks
// for QuickTime in a folder without it. Writes what its message box showed
// to the file named second on the command line; the process must end inside
// the check, so "returned" is never written.
#include "GH_Resources.h"
#include "StartUpWindow.h"
#include "WinTestSupport.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  FILE* report = std::fopen(argv[2], "wb");
  if (!report) return 2;
  StartUpWindow startUp(GetModuleHandleA(nullptr), nullptr, "GH_ConfigTool", "GH_Window",
                        GH_BITMAP_STARTUP);
  HWND window = FindWindowA("GH_ConfigTool", "GH_Window");
  kxtest::DialogWatcher watcher("Glintharbour International", [&](HWND box) {
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    const bool owned = window && GetWindow(box, GW_OWNER) == window;
    std::fprintf(report, "text=%s\nowned=%d\n", text, owned ? 1 : 0);
    std::fflush(report);
    kxtest::DialogWatcher::Press(box, IDOK);
  });
  RequireQuickTime(window, argv[1]);
  std::fprintf(report, "returned\n");
  std::fclose(report);
  return 3;
}
