#pragma once
// The application of programs built around one document at a time: makes
// the first document at start-up, opens the files named on the command
// line, answers New (1) and Open (2) while no document is open, and closes
// the documents before quitting.
#include "CP_Application.h"
#include "CP_FileSpec.h"

#include <cstdint>
#include <string>
#include <vector>

class CP_Document;
class CP_Window;

class CP_DocApplication : public CP_Application {
 public:
  // The option is kept for the derived program.
  explicit CP_DocApplication(uint8_t option = 0);

  void StartUp() override;
  int32_t ExecuteCommand(int32_t command) override;
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override;
  // Closes every document first; when one may not close, nothing quits and
  // the answer is true.
  bool Quit() override;
  // Fills the menu bar, makes the first document and shows its window.
  void InstallMenuBar() override;
  // Forgets the document and its window when either closes.
  bool ApproveChildClose(CP_M_Commander* closing) override;

  // A new, untitled document; null when none could be made.
  virtual CP_Document* MakeNewDocument() = 0;
  // Lets the user choose a file and opens it; null when cancelled.
  virtual CP_Document* ChooseDocumentToOpen() = 0;
  virtual void OpenDocumentFile(const CP_FileSpec& spec) = 0;
  virtual void OpenCommandLineFiles();

  uint8_t GetOption() const { return fOption; }
  CP_Document* GetDocument() const { return fDocument; }
  CP_Window* GetWindow() const { return fWindow; }

  // One path of the command line and how it was written.
  struct CommandLineToken {
    std::string text;
    bool quoted;
    bool last;  // ended by the end of the text rather than a space or quote
  };
  // Splits at spaces outside double quotes; a quoted path may hold spaces.
  static std::vector<CommandLineToken> SplitCommandLine(const std::string& text);

 protected:
  uint8_t fOption;
  CP_Window* fWindow = nullptr;
  CP_Document* fDocument = nullptr;
};
