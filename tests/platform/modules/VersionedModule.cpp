// A module for OptionalModuleTest, built once as this build's and once each
// with another ABI number and another program version (tests/CMakeLists.txt).
#include "platform/modules/ModuleEntry.h"

namespace {

struct AnswerTable {
  trawlscope::ModuleVersion version;
  int (*answer)();
};

int Answer() { return 42; }

constexpr AnswerTable kTable{{trawlscope::kModuleAbi + TEST_ABI_OFFSET, TEST_PROGRAM_VERSION}, Answer};

}  // namespace

TRAWLSCOPE_MODULE_ENTRY trawlscope_test_module() { return &kTable; }
