#pragma once
// An installation of the system in a folder of its own, with stand-ins for
// the engine and the library manager, and the saver run as Windows runs it.
#include <windows.h>

#include <string>
#include <vector>

namespace savertest {

// The Windows form of a path of the build tree.
std::string HostPath(const char* unixPath);

extern const char kEngine[];   // "KX3 Engine.exe"
extern const char kManager[];  // "Glintharbour KX3.exe"
extern const char kSaver[];    // "Glintharbour KX3 Saver.scr"

// A fresh folder named `name` inside a folder of its own under the temporary
// folder; `Path` of the settings names it while the object lives, and the
// earlier value comes back afterwards.
class Installation {
 public:
  explicit Installation(const std::string& name = "kx saver");
  ~Installation();
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  const std::string& Folder() const { return fFolder; }    // without the final backslash
  const std::string& Outside() const { return fOutside; }  // the folder that holds it
  void SetPath(const char* path);                          // nullptr removes the key
  void AddProgram(const std::string& fileName) const;      // a stand-in under that name
  void AddFile(const std::string& fileName, const std::string& text) const;
  std::string AddSaver(const std::string& fileName = kSaver) const;

  // "program|arguments" for every stand-in started so far.
  std::vector<std::string> Started() const;
  bool WaitForStarts(size_t count, int timeoutMs = 10000) const;
  // Lets every stand-in end, now and from their start on.
  void EndPrograms() const;

 private:
  std::string fOutside;
  std::string fFolder;
  std::string fOldPath;
  bool fHadPath = false;
};

// A saver process started with `arguments`, as Windows starts it.
class SaverProcess {
 public:
  SaverProcess(const std::string& program, const std::string& arguments);
  ~SaverProcess();
  SaverProcess(const SaverProcess&) = delete;
  SaverProcess& operator=(const SaverProcess&) = delete;

  bool Started() const { return fInfo.hProcess != nullptr; }
  DWORD Id() const { return fInfo.dwProcessId; }
  // Waits, handling this thread's messages, until the process ended.
  bool WaitForEnd(int timeoutMs = 10000) const;
  bool Running() const;
  // The first top-level window of the process, hidden or not.
  HWND TopWindow() const;

 private:
  PROCESS_INFORMATION fInfo{};
};

}  // namespace savertest
