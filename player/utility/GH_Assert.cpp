#include "utility/GH_Assert.h"

#include "CP_Win.h"

std::string AssertionDebugLine(const char* file, int16_t line, const char* condition) {
  return std::string(file) + "(" + std::to_string(line) + ") : " + condition + "\n";
}

std::string AssertionBoxText(const char* file, int16_t line, const char* condition) {
  // Carriage returns alone separate the fields, as the framework's own report does.
  return std::string("Assertion thrown") + "\rError: " + condition + "\rFile: " + file + "\rLine:" +
         std::to_string(line);
}

void ReportAssertion(const char* file, int16_t line, const char* condition) {
  OutputDebugStringA(AssertionDebugLine(file, line, condition).c_str());
  const int answer = MessageBoxA(nullptr, AssertionBoxText(file, line, condition).c_str(), "CP_Debug",
                                 MB_OKCANCEL | MB_ICONHAND);
  if (answer == IDCANCEL) DebugBreak();
}
