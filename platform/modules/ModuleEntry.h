#pragma once
// How a module exports its one entry: every other symbol of a module is
// hidden (trawlscope_add_module), so two modules' copies of our code never
// meet. The entry returns the address of the module's table of functions,
// which starts with the ModuleVersion the module was built with.
#include <cstdint>

#ifndef TRAWLSCOPE_MODULE_ABI
#error "TRAWLSCOPE_MODULE_ABI is set by platform/modules/CMakeLists.txt: link trawlscope_module_entry"
#endif

#define TRAWLSCOPE_MODULE_ENTRY extern "C" __attribute__((visibility("default"))) const void*

namespace trawlscope {

// The build's hash of the headers that shape the modules' tables, so that a
// table that changes changes it without anyone remembering to.
inline constexpr std::uint32_t kModuleAbi = TRAWLSCOPE_MODULE_ABI;

// First in every module's table. `abi` stays first in every version, since it
// alone says whether the rest can be read. The program's version is checked
// too: the hash covers the tables' headers, not every type they pass along.
struct ModuleVersion {
  std::uint32_t abi = kModuleAbi;
  const char* program = TRAWLSCOPE_VERSION;
};

}  // namespace trawlscope
