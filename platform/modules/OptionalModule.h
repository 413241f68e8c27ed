#pragma once
// One of the program's own shared objects around a library that most runs
// never use (libgit2, libarchive, libxml2, Qt's catalogue reader), loaded
// the first time a run needs it: loading every such library at start cost
// a plain search over a small tree more than the search. The modules are
// found through the program's run path, lib/trawlscope beside the program's
// folder (the top CMakeLists.txt). A module whose table was built for
// another version is refused, never read. A module is never unloaded. Any
// thread.
#include <mutex>

#include "platform/modules/ModuleProblem.h"

namespace trawlscope {

class OptionalModule {
 public:
  // `file` is the module's file name; `entry` names the function it exports,
  // which takes nothing and returns the address of its table of functions,
  // which starts with a ModuleVersion (ModuleEntry.h).
  constexpr OptionalModule(const char* file, const char* entry) : file_(file), entry_(entry) {}
  OptionalModule(const OptionalModule&) = delete;
  OptionalModule& operator=(const OptionalModule&) = delete;

  // The module's table, loaded on the first call; null when the module
  // cannot be loaded or is not of this build.
  const void* Table();
  // Why Table() is null; of kind None when it is not.
  const ModuleProblem& Problem();
  const char* File() const { return file_; }

 private:
  void Load();

  const char* file_;
  const char* entry_;
  std::once_flag once_;
  const void* table_ = nullptr;
  ModuleProblem problem_;
};

}  // namespace trawlscope
