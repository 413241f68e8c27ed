#include "platform/modules/OptionalModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace trawlscope {

const void* OptionalModule::Table() {
  std::call_once(once_, [this] { Load(); });
  return table_;
}

const std::string& OptionalModule::Problem() {
  std::call_once(once_, [this] { Load(); });
  return problem_;
}

namespace {

// The run path's place, named from the program's own: a sanitizer's
// interception of dlopen calls it from its own library, whose run path is not
// the program's.
std::string BesideProgram(const char* file) {
  char program[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
  if (length <= 0) return {};
  std::string path(program, static_cast<size_t>(length));
  path.resize(path.rfind('/') + 1);
  return path + "../lib/trawlscope/" + file;
}

}  // namespace

void OptionalModule::Load() {
  // Lazy binding: most of a library's functions are never called by a run.
  const std::string beside = BesideProgram(file_);
  void* handle = beside.empty() || access(beside.c_str(), F_OK) != 0 ? nullptr
                                                                       : dlopen(beside.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) handle = dlopen(file_, RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    problem_ = error != nullptr ? error : std::string(file_) + ": cannot be loaded";
    return;
  }
  using Entry = const void* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(handle, entry_));
  if (entry == nullptr) {
    problem_ = std::string(file_) + ": " + entry_ + " is missing (a module of another build?)";
    return;
  }
  table_ = entry();
}

}  // namespace trawlscope
