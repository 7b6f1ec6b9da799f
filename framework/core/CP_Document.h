#pragma once
// The framework's document: a commander with a name, a file and a modified
// flag, optionally a window, that carries out the standard file commands
// close (3), save (4), save as (5) and revert (6) with their questions to
// the user, and page set-up (7) and print (8) through its printer. All
// documents are in one framework-wide list, in the order they were made.
#include "CP_Commander.h"
#include "CP_FileSpec.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>

class CP_File;
class CP_Printer;
class CP_Window;

class CP_Document : public CP_M_Commander {
 public:
  // Enters the list and becomes the target commander.
  explicit CP_Document(CP_M_Commander* parent);
  // Leaves the list; does not delete the window.
  ~CP_Document() override;

  int32_t ExecuteCommand(int32_t command) override;
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override;

  // May the document be closed? Asks about unsaved changes first.
  virtual bool AskSaveChanges();
  // With the parent commander's approval deletes the window and the
  // document itself. It asks nothing about unsaved changes.
  virtual bool TryClose();
  virtual void DocumentHook14(int32_t) {}
  virtual bool DocumentQuery15(int32_t) { return true; }
  virtual bool IsModified() const { return fModified; }
  // Subclasses write the file after this base has taken the spec.
  virtual void SaveToFile(const CP_FileSpec& spec);
  // Writes the content into the document's file, through GetFile(): during
  // save as that is a new file beside the chosen one, which takes the
  // chosen file's place once Save returns.
  virtual void Save() {}
  // Asks for a file and saves into it.
  virtual void SaveAs();
  virtual bool HasFile() const { return fFile != nullptr; }
  virtual void SetName(const std::string& name);
  // Takes the spec; the first time also makes the file object, and the file
  // on disk when it does not exist yet. An existing file is not emptied.
  virtual void SetFileSpec(const CP_FileSpec& spec);
  virtual void Print() {}
  virtual void Revert() {}
  virtual void DocumentHook25(int32_t) {}
  virtual void DoSetUniqueName(const std::string& baseName);
  virtual void DocumentHook27(int32_t) {}
  virtual void DocumentHook28(int32_t) {}

  void SetModified(bool modified) { fModified = modified; }
  // The base name, or the base name followed by 1, 2 ... when another
  // document already has it.
  void SetUniqueName(const std::string& baseName) { DoSetUniqueName(baseName); }
  // The revert question; true only for Yes.
  bool ConfirmRevert();

  const std::string& GetName() const { return fName; }
  const CP_FileSpec& GetFileSpec() const { return fFileSpec; }
  CP_File* GetFile() const { return fFile.get(); }
  CP_Window* GetWindow() const { return fWindow; }
  // Made on the first page set-up or print command; null before.
  CP_Printer* GetPrinter() const { return fPrinter.get(); }
  void SetWindow(CP_Window* window) { fWindow = window; }

  // Asks every document, first to last, about unsaved changes and closes
  // it; false as soon as one may not close.
  static bool CloseAllDocuments();
  // Null while no document exists.
  static const std::list<CP_Document*>* GetDocumentList();

 protected:
  // The printer the page set-up and print commands make.
  virtual std::unique_ptr<CP_Printer> MakePrinter();

  CP_Window* fWindow = nullptr;
  std::unique_ptr<CP_File> fFile;
  CP_FileSpec fFileSpec;
  std::unique_ptr<CP_Printer> fPrinter;
  bool fModified = false;
  std::string fName;

 private:
  void PageSetup();
  void PrintWithDialogs();
  // Save into `target` through a new file beside it, which replaces the
  // target only once Save has written all of it.
  void SaveReplacing(const CP_FileSpec& target);
};
