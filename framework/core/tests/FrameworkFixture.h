#pragma once
// Starts the framework for one test and stops it afterwards.
#include "CP_Framework.h"

#include <gtest/gtest.h>

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override { StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL); }
  void TearDown() override { StopFramework(); }
};
