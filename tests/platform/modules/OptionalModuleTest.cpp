#include "platform/modules/OptionalModule.h"

#include <gtest/gtest.h>

#include "platform/modules/ModuleEntry.h"

namespace trawlscope {
namespace {

struct AnswerTable {
  ModuleVersion version;
  int (*answer)();
};

TEST(OptionalModuleTest, LoadsOnlyAModuleOfThisBuild) {
  using Kind = ModuleProblem::Kind;
  struct Case {
    const char* file;
    const char* entry;
    Kind problem;
  } cases[] = {
      {"trawlscope-test-same.so", "trawlscope_test_module", Kind::None},
      {"trawlscope-test-other-abi.so", "trawlscope_test_module", Kind::OtherVersion},
      {"trawlscope-test-other-program.so", "trawlscope_test_module", Kind::OtherVersion},
      {"trawlscope-test-same.so", "trawlscope_no_such_entry", Kind::OtherVersion},
      {"trawlscope-test-absent.so", "trawlscope_test_module", Kind::CannotLoad},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.entry);
    OptionalModule module(c.file, c.entry);
    const auto* table = static_cast<const AnswerTable*>(module.Table());
    EXPECT_EQ(module.Problem().kind, c.problem);
    EXPECT_EQ(module.Problem().file, c.file);
    if (c.problem == Kind::None) {
      ASSERT_NE(table, nullptr);
      EXPECT_EQ(table->answer(), 42);
    } else {
      EXPECT_EQ(table, nullptr);
    }
    // The loader's words name the file it looked for, beside the program.
    if (c.problem == Kind::CannotLoad) EXPECT_NE(module.Problem().loader.find(c.file), std::string::npos);
  }
}

}  // namespace
}  // namespace trawlscope
