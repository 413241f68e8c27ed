#include "platform/modules/OptionalModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/modules/ModuleEntry.h"

namespace trawlscope {

const void* OptionalModule::Table() {
  std::call_once(once_, [this] { Load(); });
  return table_;
}

const ModuleProblem& OptionalModule::Problem() {
  std::call_once(once_, [this] { Load(); });
  return problem_;
}

namespace {

// The run path's place, named from the program's own: a sanitizer's
// interception of dlopen calls it from its own library, whose run path is not
// the program's. Empty when the program's path cannot be read.
std::string BesideProgram(const char* file) {
  char program[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
  if (length <= 0) return {};
  std::string path(program, static_cast<size_t>(length));
  path.resize(path.rfind('/') + 1);
  return path + "../lib/trawlscope/" + file;
}

bool OfThisBuild(const ModuleVersion& version) {
  return version.abi == kModuleAbi && version.program != nullptr &&
         std::strcmp(version.program, TRAWLSCOPE_VERSION) == 0;
}

}  // namespace

void OptionalModule::Load() {
  problem_.file = file_;
  // Lazy binding: most of a library's functions are never called by a run.
  // The loader's own search (the run path, then LD_LIBRARY_PATH and the
  // system's folders) only where /proc cannot name the program's folder, as
  // in a chroot without it: there the run path names the same place. A
  // missing module is not looked for elsewhere, where another build's may be.
  const std::string beside = BesideProgram(file_);
  void* handle = dlopen(beside.empty() ? file_ : beside.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    problem_.kind = ModuleProblem::Kind::CannotLoad;
    problem_.loader = error != nullptr ? error : file_;
    return;
  }
  using Entry = const void* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(handle, entry_));
  const void* table = entry != nullptr ? entry() : nullptr;
  // The version is the table's first member, so it can be read before the
  // table's type is trusted.
  if (table == nullptr || !OfThisBuild(*static_cast<const ModuleVersion*>(table))) {
    problem_.kind = ModuleProblem::Kind::OtherVersion;
    return;
  }
  table_ = table;
}

}  // namespace trawlscope
