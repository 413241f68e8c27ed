#pragma once
// One of the program's own shared objects around a library that most runs
// never use (libgit2, libarchive, libxml2, Qt's catalogue reader), loaded
// the first time a run needs it: loading every such library at start cost
// a plain search over a small tree more than the search. The modules are
// found through the program's run path, lib/trawlscope beside the program's
// folder (the top CMakeLists.txt). A module is never unloaded. Any thread.
#include <mutex>
#include <string>

namespace trawlscope {

class OptionalModule {
 public:
  // `file` is the module's file name; `entry` names the function it exports,
  // which takes nothing and returns the address of its table of functions.
  constexpr OptionalModule(const char* file, const char* entry) : file_(file), entry_(entry) {}
  OptionalModule(const OptionalModule&) = delete;
  OptionalModule& operator=(const OptionalModule&) = delete;

  // The module's table, loaded on the first call; null when the module
  // cannot be loaded or does not export its entry.
  const void* Table();
  // Why Table() is null, in the loader's words, which name the file; empty
  // when it is not.
  const std::string& Problem();
  const char* File() const { return file_; }

 private:
  void Load();

  const char* file_;
  const char* entry_;
  std::once_flag once_;
  const void* table_ = nullptr;
  std::string problem_;
};

}  // namespace trawlscope
