#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace trawlscope {
namespace {

StartRequest Read(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "trawlscope");
  return ReadCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, NoArgumentsOrQtsOwnRunTheWindow) {
  EXPECT_EQ(Read({}), StartRequest::Run);
  EXPECT_EQ(Read({"-platform", "offscreen"}), StartRequest::Run);
  EXPECT_EQ(Read({"/data/docs"}), StartRequest::Run);
}

TEST(CommandLine, HelpAndVersionAnywhereTheFirstWinning) {
  EXPECT_EQ(Read({"--help"}), StartRequest::Help);
  EXPECT_EQ(Read({"-platform", "offscreen", "-h"}), StartRequest::Help);
  EXPECT_EQ(Read({"--version", "--help"}), StartRequest::Version);
  EXPECT_EQ(Read({"-v"}), StartRequest::Version);
}

TEST(CommandLine, NothingAfterTheEndOfOptionsIsAnOption) {
  EXPECT_EQ(Read({"--", "--help"}), StartRequest::Run);
}

TEST(CommandLine, TheHelpNamesBothOptions) {
  const std::string help = kDesktopHelp;
  EXPECT_NE(help.find("--help"), std::string::npos);
  EXPECT_NE(help.find("--version"), std::string::npos);
}

}  // namespace
}  // namespace trawlscope
