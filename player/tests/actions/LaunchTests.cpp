#include "actions/MultimediaAction.h"

#include "CP_Win.h"
#include "WinTestSupport.h"
#include "store/library/ActionTable.h"
#include "utility/GH_Utility.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

// A folder of its own per case, with a batch file that writes its
// arguments into "ran.txt" beside it: the sign that the shell started it.
class EngineLaunch : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = GetTempDirectory() + "kx_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA(Marker().c_str());
    std::ofstream(folder + "\\probe.bat") << "@echo off\r\necho [%*]> \"" << Marker() << "\"\r\n";
  }
  void TearDown() override {
    DeleteFileA(Marker().c_str());
    DeleteFileA((folder + "\\probe.bat").c_str());
    RemoveDirectoryA(folder.c_str());
  }

  std::string Marker() const { return folder + "\\ran.txt"; }
  // What the batch file wrote, once it ran; empty when it did not within
  // the time given.
  std::string WaitForRun(int timeoutMs = 10000) const {
    std::string text;
    kxtest::PumpUntil(
        [&] {
          std::ifstream in(Marker());
          std::stringstream s;
          s << in.rdbuf();
          text = s.str();
          return text.find(']') != std::string::npos;
        },
        timeoutMs);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
  }

  static void Run(const std::string& text) {
    ActionDefinition definition(text);
    Run(definition.GetName(), definition.GetParameters());
  }
  static void Run(const std::string& name, ActionParameters& parameters) {
    std::unique_ptr<MultimediaAction> action(MultimediaActionFactory::CreateAction(name, parameters));
    ASSERT_NE(nullptr, action) << name;
    action->Execute();
  }

  std::string folder;
};

TEST_F(EngineLaunch, LaunchURLOpensTheAddressAsItStands) {
  Run("launchURL(URL=\"" + folder + "\\probe.bat\")");
  EXPECT_EQ("[]", WaitForRun());
}

TEST_F(EngineLaunch, LaunchURLWithoutAnAddressDoesNothing) {
  ActionParameters none;
  Run("launchURL", none);
  for (const std::string& text : {std::string("launchURL(URL=\"\")"),
                                 // The key is case-sensitive.
                                 "launchURL(url=\"" + folder + "\\probe.bat\")"})
    Run(text);
  EXPECT_EQ("", WaitForRun(1500));
}

}  // namespace
