#pragma once
// What the pane tests share: the framework started for each case, the
// settings keys a case reads cleared first, and item rows made in memory.
#include "CDDatabase.h"
#include "FrameworkFixture.h"
#include "GH_LibraryGlobals.h"

#include <initializer_list>
#include <string>

namespace panetest {

inline void ClearSettings(std::initializer_list<const char*> keys, const char* section = kIniSection) {
  for (const char* key : keys) WritePrivateProfileStringA(section, key, nullptr, kIniFile);
}

inline void WriteSetting(const char* key, const std::string& value) {
  WritePrivateProfileStringA(kIniSection, key, value.c_str(), kIniFile);
}

inline std::string ReadSetting(const char* key) {
  char value[256] = {};
  GetPrivateProfileStringA(kIniSection, key, "<missing>", value, sizeof value, kIniFile);
  return value;
}

inline PlaylistEntry Row(int32_t id, int32_t parent, int32_t type, const std::string& text, int32_t parentType = 2) {
  PlaylistEntry row;
  row.ITEM_ID = id;
  row.PARENT_ID = parent;
  row.ITEMTYPE = type;
  row.PARENTTYPE = parentType;
  row.ITEMTEXT = text;
  row.AliasRoot = "Glintharbour Films";
  return row;
}

// The framework for one case, with an empty item list before and after.
class PaneTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    // Test programs running side by side must not find each other's window.
    mainWindowTitle = "Glintharbour Player " + std::to_string(GetCurrentProcessId());
    itemList.clear();
  }
  void TearDown() override {
    itemList.clear();
    FrameworkTest::TearDown();
  }
};

}  // namespace panetest
