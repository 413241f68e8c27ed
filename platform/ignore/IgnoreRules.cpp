#include "platform/ignore/IgnoreRules.h"

#include "platform/ignore/IgnoreModule.h"
#include "platform/modules/OptionalModule.h"

namespace trawlscope {
namespace {

OptionalModule& Module() {
  static OptionalModule module(kIgnoreModuleFile, kIgnoreModuleEntry);
  return module;
}

}  // namespace

std::unique_ptr<IgnoreRules> IgnoreRules::For(const std::string& nativeFolder, Find find) {
  const auto* table = static_cast<const IgnoreModuleTable*>(Module().Table());
  return table != nullptr ? table->rulesFor(nativeFolder, find) : nullptr;
}

const ModuleProblem& IgnoreRules::LoadModule() { return Module().Problem(); }

}  // namespace trawlscope
