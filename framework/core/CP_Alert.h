#pragma once
#include <cstdint>
#include <string>

// A message box captioned with the application's name; always answers 1.
int16_t ShowAlert(const std::string& text, int16_t style);
// The program's file name without a lower-cased ".exe".
std::string GetApplicationName();

// The caption rule applied to a full program path.
std::string ApplicationNameFromPath(const std::string& path);
