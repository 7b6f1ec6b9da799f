#include "CP_URLHandler.h"

#include "CP_Win.h"

#include <shellapi.h>

void CP_URLHandler::Open() { OpenURL(fURL); }

void CP_URLHandler::OpenURL(const std::string& url) {
  if (url.empty()) return;
  ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
