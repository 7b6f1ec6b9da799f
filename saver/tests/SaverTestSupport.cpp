#include "SaverTestSupport.h"

#include "WinTestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace savertest {

const char kEngine[] = "KX3 Engine.exe";
const char kManager[] = "Glintharbour KX3.exe";
const char kSaver[] = "Glintharbour KX3 Saver.scr";

namespace {

const char kSettingsFile[] = "glintharbour.ini";

std::string ReadPath(bool& present) {
  char value[512] = {};
  GetPrivateProfileStringA("Glintharbour", "Path", "\x01", value, sizeof value, kSettingsFile);
  present = std::string(value) != "\x01";
  return present ? value : "";
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

struct WindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

std::string HostPath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

Installation::Installation(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  static int serial = 0;
  fOutside = std::string(temp) + "kxsaver" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
  fFolder = fOutside + "\\" + name;
  CreateDirectoryA(fOutside.c_str(), nullptr);
  CreateDirectoryA(fFolder.c_str(), nullptr);
  fOldPath = ReadPath(fHadPath);
  SetPath(fFolder.c_str());
}

Installation::~Installation() {
  EndPrograms();
  Sleep(100);  // stand-ins still looking for "end" let go of the folder
  WritePrivateProfileStringA("Glintharbour", "Path", fHadPath ? fOldPath.c_str() : nullptr, kSettingsFile);
  RemoveTree(fOutside);
}

void Installation::SetPath(const char* path) {
  WritePrivateProfileStringA("Glintharbour", "Path", path, kSettingsFile);
}

void Installation::AddProgram(const std::string& fileName) const {
  CopyFileA(HostPath(KX_STANDIN).c_str(), (fFolder + "\\" + fileName).c_str(), FALSE);
}

void Installation::AddFile(const std::string& fileName, const std::string& text) const {
  std::ofstream(fFolder + "\\" + fileName, std::ios::binary) << text;
}

std::string Installation::AddSaver(const std::string& fileName) const {
  const std::string path = fFolder + "\\" + fileName;
  CopyFileA(HostPath(KX_SAVER_SCR).c_str(), path.c_str(), FALSE);
  return path;
}

std::vector<std::string> Installation::Started() const {
  std::vector<std::string> lines;
  std::ifstream log(fFolder + "\\started.log");
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  return lines;
}

bool Installation::WaitForStarts(size_t count, int timeoutMs) const {
  return kxtest::PumpUntil([&] { return Started().size() >= count; }, timeoutMs);
}

void Installation::EndPrograms() const {
  AddFile("end", "");
  std::ofstream(fOutside + "\\end", std::ios::binary);  // for programs started there by mistake
}

SaverProcess::SaverProcess(const std::string& program, const std::string& arguments) {
  std::string commandLine = "\"" + program + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &fInfo))
    fInfo = {};
}

SaverProcess::~SaverProcess() {
  if (!fInfo.hProcess) return;
  if (Running()) TerminateProcess(fInfo.hProcess, 1);
  CloseHandle(fInfo.hThread);
  CloseHandle(fInfo.hProcess);
}

bool SaverProcess::WaitForEnd(int timeoutMs) const {
  return fInfo.hProcess && kxtest::PumpUntil([&] { return !Running(); }, timeoutMs);
}

bool SaverProcess::Running() const {
  return fInfo.hProcess && WaitForSingleObject(fInfo.hProcess, 0) == WAIT_TIMEOUT;
}

HWND SaverProcess::TopWindow() const {
  WindowSearch search{fInfo.dwProcessId, nullptr};
  EnumWindows(FindProcessWindow, LPARAM(&search));
  return search.found;
}

}  // namespace savertest
