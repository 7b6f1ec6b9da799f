#include "CP_Document.h"

#include "CP_Exception.h"
#include "CP_File.h"
#include "CP_FourCC.h"
#include "CP_MenuBar.h"
#include "CP_Printer.h"
#include "CP_SaveFileChooser.h"
#include "CP_StringList.h"
#include "CP_Window.h"

#include <vector>

namespace {

constexpr const char* kSource = "CP_Document.cpp";
constexpr uint32_t kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr uint32_t kCreator = CP_FourCC("****");
constexpr uint32_t kType = CP_FourCC("TEXT");

std::list<CP_Document*>* gDocuments = nullptr;

bool IsListed(const CP_Document* document) {
  if (!gDocuments) return false;
  for (const CP_Document* d : *gDocuments)
    if (d == document) return true;
  return false;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A new empty file in the target's folder, so that it can take the target's
// place by a rename on the same disk.
std::string MakeTemporaryBeside(const CP_FileSpec& target) {
  std::string folder = target.FolderPath();
  if (folder.empty()) folder = ".";
  char path[MAX_PATH + 1] = {};
  if (!GetTempFileNameA(folder.c_str(), "cpd", 0, path))
    throw CP_PlfrmErrorException(kCP_FileError, kSource, __LINE__);
  return path;
}

// The saved content reaches the disk before the file takes the target's
// place: otherwise a power cut could leave the target's name on a file
// whose bytes were never written. Save may have closed the file already.
void PutOnDisk(CP_File& file) {
  if (!file.IsOpen()) file.Open(kReadWrite);
  file.Flush();
  file.Close();
}

}  // namespace

CP_Document::CP_Document(CP_M_Commander* parent) : CP_M_Commander(parent) {
  if (!gDocuments) gDocuments = new std::list<CP_Document*>;
  gDocuments->push_back(this);
  if (GetTarget() != this) ChangeTarget(this);
  fModified = false;
}

CP_Document::~CP_Document() {
  fPrinter.reset();
  if (gDocuments) {
    gDocuments->remove(this);
    if (gDocuments->empty()) {
      delete gDocuments;
      gDocuments = nullptr;
    }
  }
}

const std::list<CP_Document*>* CP_Document::GetDocumentList() { return gDocuments; }

int32_t CP_Document::ExecuteCommand(int32_t command) {
  switch (command) {
    case kCmd_Close:
      TryClose();
      return 0;
    case kCmd_Save:
      if (HasFile())
        Save();
      else
        SaveAs();
      return 0;
    case kCmd_SaveAs:
      SaveAs();
      return 0;
    case kCmd_Revert:
      if (ConfirmRevert()) Revert();
      return 0;
    case kCmd_PageSetup:
      PageSetup();
      return 0;
    case kCmd_Print:
      PrintWithDialogs();
      return 0;
    default:
      return CP_M_Commander::ExecuteCommand(command);
  }
}

void CP_Document::GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  if (!bar) return;
  switch (command) {
    case kCmd_Save:
      if (IsModified() || !HasFile()) bar->EnableCommand(command);
      return;
    case kCmd_SaveAs:
    case kCmd_PageSetup:
    case kCmd_Print:
      bar->EnableCommand(command);
      return;
    case kCmd_Revert:
      if (IsModified() && menu) menu->EnableCommand(command);
      return;
    default:
      CP_M_Commander::GetCommandStatus(command, menu);
  }
}

std::unique_ptr<CP_Printer> CP_Document::MakePrinter() { return std::make_unique<CP_Printer>(); }

void CP_Document::PageSetup() {
  if (!fPrinter) fPrinter = MakePrinter();
  fPrinter->PageSetupDialog();
}

// A first print asks for the page set-up before the print dialog.
void CP_Document::PrintWithDialogs() {
  if (!fPrinter) {
    fPrinter = MakePrinter();
    fPrinter->PageSetupDialog();
  }
  if (fPrinter->CanPrint() && fPrinter->PrintDialog()) Print();
}

bool CP_Document::AskSaveChanges() {
  if (!IsModified()) return true;
  switch (AskSaveChangesAlert(fName, fWindow)) {
    case kCP_AnswerYes:
      ExecuteCommand(kCmd_Save);
      return HasFile();  // a cancelled save as leaves no file
    case kCP_AnswerNo:
      return true;
    default:
      return false;
  }
}

bool CP_Document::ConfirmRevert() { return AskRevertAlert(fName, fWindow) == kCP_AnswerYes; }

bool CP_Document::TryClose() {
  CP_M_Commander* parent = GetParentCommander();
  if (!parent || !parent->ApproveChildClose(this)) return false;
  CP_Window* window = fWindow;
  fWindow = nullptr;
  delete window;
  ResignTarget(this);
  delete this;
  return true;
}

void CP_Document::SaveToFile(const CP_FileSpec& spec) { SetFileSpec(spec); }

void CP_Document::SetFileSpec(const CP_FileSpec& spec) {
  fFileSpec = spec;
  if (fFile) return;
  fFile.reset(new CP_File(spec));
  // Only a missing file is made: emptying an existing one before the new
  // content is written would lose it if the writing failed.
  if (!FileExists(spec.Path())) fFile->Create(kReadWrite, kCreator, kType, false);
}

void CP_Document::SetName(const std::string& name) {
  fName = name;
  if (fWindow) fWindow->SetTitle(name);
}

void CP_Document::DoSetUniqueName(const std::string& baseName) {
  std::string candidate = baseName;
  for (int32_t n = 1;; ++n) {
    bool taken = false;
    if (gDocuments)
      for (const CP_Document* d : *gDocuments)
        if (d->fName == candidate) taken = true;
    if (!taken) break;
    candidate = baseName + std::to_string(n);
  }
  SetName(candidate);
}

void CP_Document::SaveAs() {
  SaveFileChooser chooser;
  const std::string prompt = GetIndexedString(kCP_StringList_Document, kCP_String_SaveFileAs);
  if (!chooser.Ask(prompt, fName)) return;
  SaveReplacing(chooser.GetSpec());
  fModified = false;
  SetName(fFileSpec.Name());
}

// The document takes the new file only once it is saved: after a failure
// its file is what it was, so a later Save cannot write to a target that
// was never written.
void CP_Document::SaveReplacing(const CP_FileSpec& target) {
  // Made first: a folder that refuses new files fails here, before the
  // document has let go of anything.
  const std::string temporary = MakeTemporaryBeside(target);
  std::unique_ptr<CP_File> previousFile = std::move(fFile);
  const CP_FileSpec previousSpec = fFileSpec;
  try {
    fFileSpec = target;
    fFile.reset(new CP_File(target));
    fFile->SetSpec(CP_FileSpec(temporary, false));
    Save();
    PutOnDisk(*fFile);
    if (!MoveFileExA(temporary.c_str(), target.Path().c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
      throw CP_PlfrmErrorException(kCP_FileError, kSource, __LINE__);
  } catch (...) {
    if (fFile) fFile->Release();  // the save failed already
    DeleteFileA(temporary.c_str());
    fFile = std::move(previousFile);
    fFileSpec = previousSpec;
    throw;
  }
  fFile->SetSpec(target);
}

bool CP_Document::CloseAllDocuments() {
  if (!gDocuments) return true;
  // Closing documents changes the list, and the last one deletes it: walk a
  // copy and skip those that went meanwhile.
  const std::vector<CP_Document*> documents(gDocuments->begin(), gDocuments->end());
  for (CP_Document* document : documents) {
    if (!IsListed(document)) continue;
    if (!document->AskSaveChanges()) return false;
    if (IsListed(document)) document->TryClose();
  }
  return true;
}
