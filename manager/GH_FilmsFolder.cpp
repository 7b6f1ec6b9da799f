#include "GH_FilmsFolder.h"

#include "CP_DirectoryIterator.h"
#include "CP_Exception.h"
#include "CP_FileSystem.h"
#include "CP_Window.h"
#include "GH_Globals.h"
#include "GH_MainWindow.h"
#include "GH_Settings.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace {

bool FolderExists(const std::string& path) {
  return CP_FileSystem::DirectoryExists(CP_FileSpec(path, true));
}

// Films of older installations carry ".m01"; they become ".flm". Only the
// file's own name is looked at, whatever the folders above are called, and
// the extension in any letter case.
std::string FilmName(std::string name) {
  for (size_t at = 0; at + 4 <= name.size(); ++at) {
    if (name[at] == '.' && std::tolower(static_cast<unsigned char>(name[at + 1])) == 'm' &&
        name[at + 2] == '0' && name[at + 3] == '1') {
      name.replace(at, 4, ".flm");
      break;
    }
  }
  return name;
}

// Moves every entry of the downloaded-films folder into the films folder.
// A film whose name is taken there stays where it is until a later run.
void MoveInternetFilms(const std::string& internet, const std::string& films) {
  std::vector<std::string> names;
  {
    CP_DirectoryIterator end;
    CP_DirectoryIterator walk(CP_FileSpec(internet, true));
    for (walk.Next(); !(walk == end); walk.Next()) names.push_back(walk.Current().Name());
  }
  for (const std::string& name : names) {
    const std::string source = internet + "\\" + name;
    const std::string target = films + "\\" + FilmName(name);
    MoveFileA(source.c_str(), target.c_str());
  }
}

}  // namespace

std::string SetUpFilmsFolder() {
  std::string install;
  ReadIniString("glintharbour", "Path", "C:\\program files\\glintharbour", install, kIniFile);
  const std::string installed = install + "\\Installed Movies";
  if (FolderExists(installed)) {
    const std::string internet = install + "\\Internet Movies";
    if (FolderExists(internet)) MoveInternetFilms(internet, installed);
    return installed;
  }

  char windows[250] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  const std::string documents = std::string(1, windows[0]) + ":\\My Documents";
  if (FolderExists(documents)) {
    const std::string films = documents + "\\Glintharbour Movies";
    if (FolderExists(films)) return films;
    try {
      CP_FileSystem::CreateSubfolder(CP_FileSpec(documents, true), "Glintharbour Movies");
    } catch (const CP_BaseException&) {
      // A folder that cannot be made is no films folder.
      return std::string();
    }
    return films;
  }

  std::string fallback;
  ReadIniString(kIniSection, "Path", "", fallback, kIniFile);
  if (fallback.empty()) return std::string();
  if (fallback.back() != '\\') fallback += '\\';
  fallback += "Glintharbour Films\\";
  if (!CreateDirectoryA(fallback.c_str(), nullptr) && !FolderExists(fallback))
    return std::string();
  return fallback;
}

std::string FormatFilmSize(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  const DWORD size = GetFileSize(file, nullptr);
  CloseHandle(file);
  return FormatFilmSizeText(size);
}

std::string FormatFilmSizeText(uint32_t size) {
  char text[64] = {};
  std::snprintf(text, sizeof text, " [%5.2f MB]", double(size) * (1.0 / 1048576.0));
  return text;
}

bool ChooseFolderForMainWindow(const std::string& prompt, std::string& path) {
  CP_Window* main = FindMainWindow(mainWindowTitle);
  CP_FileSpec chosen;
  if (!ChooseFolder(chosen, prompt, main ? main->GetHWND() : nullptr)) return false;
  path = chosen.Path();
  return true;
}
