#pragma once
// Hands a web address or a document path to the shell.
#include <string>

class CP_URLHandler {
 public:
  explicit CP_URLHandler(const std::string& url = std::string()) : fURL(url) {}
  virtual ~CP_URLHandler() = default;

  // Opens the stored URL; an empty one does nothing. The shell's answer is
  // not looked at.
  virtual void Open();
  // Opens `url`; the stored URL stays as it is.
  virtual void OpenURL(const std::string& url);

  void SetURL(const std::string& url) { fURL = url; }

 private:
  std::string fURL;
};
