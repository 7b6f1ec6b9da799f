#pragma once
// Asks the user for the name of a file to save, in the standard Windows
// dialog placed in the upper middle of the screen.
#include "CP_FileSpec.h"

#include <cstdint>
#include <string>

class SaveFileChooser {
 public:
  // The longest default name the dialog is given.
  static constexpr size_t kMaxName = 259;

  // True when the user chose a file: the spec is then that file. False on
  // cancel or error, the spec unchanged. The third value is not used.
  bool Ask(const std::string& prompt, const std::string& defaultName, int32_t unused = 0);

  const CP_FileSpec& GetSpec() const { return fSpec; }

 private:
  CP_FileSpec fSpec;
};
