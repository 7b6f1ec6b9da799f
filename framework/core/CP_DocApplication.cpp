#include "CP_DocApplication.h"

#include "CP_Document.h"
#include "CP_FileSystem.h"
#include "CP_Framework.h"
#include "CP_MenuBar.h"
#include "CP_Window.h"

CP_DocApplication::CP_DocApplication(uint8_t option) : fOption(option) {}

void CP_DocApplication::StartUp() { OpenCommandLineFiles(); }

int32_t CP_DocApplication::ExecuteCommand(int32_t command) {
  if (command == kCmd_New) {
    if (!fWindow && !fDocument) fDocument = MakeNewDocument();
    return 0;
  }
  if (command == kCmd_Open) {
    if (!fWindow && !fDocument) fDocument = ChooseDocumentToOpen();
    return 0;
  }
  return CP_Application::ExecuteCommand(command);
}

void CP_DocApplication::GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  if (!bar) return;
  if (command == kCmd_New) {
    if (!fWindow && !fDocument) bar->EnableCommand(command);
    return;
  }
  if (command == kCmd_Open) {
    bar->EnableCommand(command);
    return;
  }
  CP_Application::GetCommandStatus(command, menu);
}

// A document that refuses to close keeps the program running; the answer
// is then true all the same, since the request was dealt with (the quit
// flag, IsQuitting, says whether the program ends).
bool CP_DocApplication::Quit() {
  if (!CP_Document::CloseAllDocuments()) return true;
  return CP_Application::Quit();
}

void CP_DocApplication::InstallMenuBar() {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  if (!bar) return;
  bar->LoadMenus(128);
  fDocument = MakeNewDocument();
  if (fDocument) fWindow = fDocument->GetWindow();
  if (fWindow) {
    bar->AttachToWindow(fWindow->GetHWND());
    fWindow->Show();
  }
}

bool CP_DocApplication::ApproveChildClose(CP_M_Commander* closing) {
  if (closing && (closing == static_cast<CP_M_Commander*>(fWindow) || closing == fDocument)) {
    fWindow = nullptr;
    fDocument = nullptr;
  }
  return true;
}

std::vector<CP_DocApplication::CommandLineToken> CP_DocApplication::SplitCommandLine(
    const std::string& text) {
  std::vector<CommandLineToken> tokens;
  std::string token;
  bool inQuotes = false;
  bool quoted = false;
  auto end = [&] {
    if (!token.empty()) tokens.push_back({token, quoted, false});
    token.clear();
    inQuotes = quoted = false;
  };
  for (char c : text) {
    if (c == '"') {
      if (inQuotes) {
        end();
      } else {
        inQuotes = quoted = true;
      }
    } else if (c == ' ' && !inQuotes) {
      end();
    } else {
      token += c;
    }
  }
  if (!token.empty()) tokens.push_back({token, quoted, true});
  return tokens;
}

// Paths written with a tilde are short forms: they are opened by their long
// names. The path that ends the line is always looked up, and opened only
// when it exists.
void CP_DocApplication::OpenCommandLineFiles() {
  for (const CommandLineToken& token : SplitCommandLine(GetCommandLineText())) {
    std::string path = token.text;
    if (token.last || (!token.quoted && path.find('~') != std::string::npos)) {
      std::string longPath;
      if (CP_FileSystem::ExpandToLongPath(path, longPath) != 0) continue;
      path = longPath;
    }
    OpenDocumentFile(CP_FileSpec(path, false));
  }
}
