#pragma once
// A document with a window and a content of its own, for the tests of
// documents and of the document application.
#include "CP_Document.h"
#include "CP_File.h"
#include "CP_Window.h"
#include "WindowTestSupport.h"

#include <stdexcept>
#include <string>

namespace kxtest {

class TestDocument : public CP_Document {
 public:
  enum class Window { No, Yes };

  TestDocument(CP_M_Commander* parent, Window window, int* deleted = nullptr)
      : CP_Document(parent), fDeleted(deleted) {
    if (window == Window::Yes)
      SetWindow(new CP_Window(this, Describe(CP_Window::kDocument, 60, 60, 320, 200), "document"));
    SetUniqueName("Untitled");
  }
  ~TestDocument() override {
    if (fDeleted) ++*fDeleted;
  }

  // Writes the content through the document's file; with failAfter set it
  // writes that many bytes and then fails.
  void Save() override {
    ++saves;
    CP_File* file = GetFile();
    file->Open(GENERIC_READ | GENERIC_WRITE);
    uint32_t count = uint32_t(failAfter >= 0 ? size_t(failAfter) : content.size());
    file->WriteAndTruncate(content.data(), &count);
    file->Close();
    if (failAfter >= 0) throw std::runtime_error("disk full");
  }
  void Revert() override { ++reverts; }

  std::string content = "document content";
  int failAfter = -1;
  int saves = 0;
  int reverts = 0;

 private:
  int* fDeleted;
};

}  // namespace kxtest
