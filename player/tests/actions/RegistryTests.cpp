#include "actions/MultimediaAction.h"
#include "actions/launchURLAction.h"

#include "store/library/ActionTable.h"

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace {

// Counts its lives; its maker is registered only inside the cases.
int gLiving = 0;
class ProbeAction : public MultimediaAction {
 public:
  explicit ProbeAction(ActionParameters& p) : MultimediaAction(p) {
    fParameters = p;
    if (fParameters.count("Throw") && fParameters["Throw"] == "store") throw FactoryError("refused");
    if (fParameters.count("Throw") && fParameters["Throw"] == "other") throw std::runtime_error("other");
    ++gLiving;
  }
  ~ProbeAction() override { --gLiving; }
  void Execute() override {}
  ActionParameters fParameters;
};

std::unique_ptr<MultimediaAction> Create(const std::string& text) {
  ActionDefinition definition(text);
  return std::unique_ptr<MultimediaAction>(
      MultimediaActionFactory::CreateAction(definition.GetName(), definition.GetParameters()));
}

TEST(EngineActionRegistry, NamesMatchExactly) {
  struct Case {
    const char* text;
    bool made;
  };
  const Case kCases[] = {
      {"launchURL(URL=\"http://example.com\")", true},
      {"launchurl(URL=\"x\")", false},
      {"LaunchURL(URL=\"x\")", false},
      {"playqt(File=\"em.flm\")", false},
      {"CloseWindow()", false},  // handled by the runners, never an action
  };
  for (const Case& c : kCases) {
    auto action = Create(c.text);
    EXPECT_EQ(c.made, action != nullptr) << c.text;
    if (action) {
      EXPECT_NE(nullptr, dynamic_cast<launchURLAction*>(action.get())) << c.text;
    }
  }
  ActionParameters none;
  std::unique_ptr<MultimediaAction> plain(MultimediaActionFactory::CreateAction("launchURL", none));
  EXPECT_NE(nullptr, plain) << "no parameters: the action takes its defaults";
  EXPECT_EQ(nullptr, MultimediaActionFactory::CreateAction("launchURL ", none)) << "no trimming";
  EXPECT_EQ(nullptr, MultimediaActionFactory::CreateAction("", none));
}

TEST(EngineActionRegistry, AnUnknownNameListsEveryRegisteredName) {
  try {
    Factory<MultimediaActionFactory>::Find("playqt");
    FAIL() << "no maker is called playqt";
  } catch (const FactoryError& e) {
    // Newest registration first.
    EXPECT_EQ("Factory playqt not found, factory list:\nplayQTAudio\nBeginScreenSaver\nplayQTFrame\nlaunchApp\nlaunchURL\nplayQT\n", e.GetMessageText());
  }
}

TEST(EngineActionRegistry, EachRunMakesItsOwnActionFromItsOwnCopy) {
  MultimediaActionMaker<ProbeAction> maker("KXProbe");
  ActionDefinition definition("KXProbe(File=\"a.flm\")");
  std::unique_ptr<MultimediaAction> first(
      MultimediaActionFactory::CreateAction(definition.GetName(), definition.GetParameters()));
  definition.GetParameters()["File"] = "b.flm";
  std::unique_ptr<MultimediaAction> second(
      MultimediaActionFactory::CreateAction(definition.GetName(), definition.GetParameters()));
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(2, gLiving);
  EXPECT_EQ("a.flm", static_cast<ProbeAction*>(first.get())->fParameters["File"]);
  EXPECT_EQ("b.flm", static_cast<ProbeAction*>(second.get())->fParameters["File"]);
  first.reset();
  second.reset();
  EXPECT_EQ(0, gLiving) << "deleted through the base";
}

TEST(EngineActionRegistry, StoreErrorsWhileMakingGiveNoActionOthersPass) {
  MultimediaActionMaker<ProbeAction> maker("KXProbe");
  EXPECT_EQ(nullptr, Create("KXProbe(Throw=\"store\")"));
  EXPECT_THROW(Create("KXProbe(Throw=\"other\")"), std::runtime_error);
  EXPECT_EQ(0, gLiving);
}

TEST(EngineActionRegistry, DescribeAnnouncesOnStandardOutputAndListsTheParameters) {
  ActionDefinition definition("launchURL(Track=\"2\",File=\"em.flm\")");
  std::unique_ptr<MultimediaAction> action(
      MultimediaActionFactory::CreateAction(definition.GetName(), definition.GetParameters()));
  ASSERT_NE(nullptr, action);
  std::ostringstream console, given;
  std::streambuf* saved = std::cout.rdbuf(console.rdbuf());
  action->Describe(given);
  std::cout.rdbuf(saved);
  EXPECT_EQ("Launching application: \n", console.str());
  EXPECT_EQ("File=em.flm, Track=2\n", given.str());
}

}  // namespace
