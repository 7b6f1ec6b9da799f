#pragma once
// The engine's report of a broken invariant: a debugger line and a box from
// which a developer can break into the debugger. It only reports; the
// caller goes on after it returns.
#include <cstdint>
#include <string>

void ReportAssertion(const char* file, int16_t line, const char* condition);

// The two texts of a report.
std::string AssertionDebugLine(const char* file, int16_t line, const char* condition);
std::string AssertionBoxText(const char* file, int16_t line, const char* condition);
