#include "CP_Exception.h"

#include "CP_Commander.h"
#include "CP_Win.h"

#include <cstdio>
#include <string>

CP_BaseException::CP_BaseException(const char* text, const char* sourceFile, int32_t line)
    : fSourceFile(sourceFile), fLine(line) {
  if (text) snprintf(fText, kMaxText + 1, "%s", text);
}

CP_BaseException::CP_BaseException(int32_t errorCode, const char* sourceFile, int32_t line)
    : fSourceFile(sourceFile), fLine(line), fErrorCode(errorCode) {}

void CP_BaseException::Report() const { ReportWithLabel("\rException: "); }

void CP_PlfrmErrorException::Report() const { ReportWithLabel("\rException: "); }

void CP_CPErrorException::Report() const { ReportWithLabel("\rCondition: "); }

void CP_BaseException::ReportWithLabel(const char* label) const {
  const std::string file = fSourceFile ? fSourceFile : "";
  const std::string line = std::to_string(fLine);
  const std::string debugLine = file + "(" + line + ") : " + GetText() + "\n";
  OutputDebugStringA(debugLine.c_str());

  const std::string message = std::string("Exception thrown") + "\rFile: " + file + "\rLine:" + line +
                              label + GetText();
  int answer = MessageBoxA(nullptr, message.c_str(), "CP_Exception", MB_OKCANCEL | MB_ICONHAND);
  // Breaking without a debugger would kill the program: Cancel then acts as OK.
  if (answer == IDCANCEL && IsDebuggerPresent()) DebugBreak();

  CP_M_Commander::UpdateMenusForTarget();
}

void ThrowIfNull(const void* pointer, const char* sourceFile, int32_t line) {
  if (!pointer) throw CP_MemoryException("NULL Pointer", sourceFile, line);
}

void ThrowIfPlatformError(int32_t error, const char* sourceFile, int32_t line) {
  if (error != 0) throw CP_PlfrmErrorException(error, sourceFile, line);
}

void ThrowConditionFailed(int32_t error, const char* sourceFile, int32_t line) {
  throw CP_CPErrorException(error, sourceFile, line);
}
