#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
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

// What a file manager's "Open with" passes: absolute paths, or relative ones
// from a terminal, which are made absolute against the working folder.
TEST(CommandLine, FilesAndFoldersNamedAreTakenAbsolute) {
  const std::vector<const char*> arguments = {"trawlscope", "/data/docs", "notes/a.txt", "--x", "--", "-odd"};
  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(PathArguments(static_cast<int>(arguments.size()), arguments.data()),
            (std::vector<std::string>{"/data/docs", here + "/notes/a.txt", here + "/-odd"}));
  const std::vector<const char*> none = {"trawlscope"};
  EXPECT_TRUE(PathArguments(1, none.data()).empty());
}

TEST(CommandLine, TheHelpNamesBothOptions) {
  const std::string help = kDesktopHelp;
  EXPECT_NE(help.find("--help"), std::string::npos);
  EXPECT_NE(help.find("--version"), std::string::npos);
}

}  // namespace
}  // namespace trawlscope
