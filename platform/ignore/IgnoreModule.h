#pragma once
// Between IgnoreRules and the module that reads the rules with libgit2
// (trawlscope-git.so): the table of functions the module exports.
#include <memory>
#include <string>

#include "platform/ignore/IgnoreRules.h"
#include "platform/modules/ModuleEntry.h"

namespace trawlscope {

struct IgnoreModuleTable {
  ModuleVersion version;
  std::unique_ptr<IgnoreRules> (*rulesFor)(const std::string& nativeFolder, IgnoreRules::Find find);
};

inline constexpr char kIgnoreModuleFile[] = "trawlscope-git.so";
inline constexpr char kIgnoreModuleEntry[] = "trawlscope_ignore_module";

}  // namespace trawlscope
