#include "platform/modules/OptionalModule.h"

#include <dlfcn.h>

namespace trawlscope {

const void* OptionalModule::Table() {
  std::call_once(once_, [this] { Load(); });
  return table_;
}

const std::string& OptionalModule::Problem() {
  std::call_once(once_, [this] { Load(); });
  return problem_;
}

void OptionalModule::Load() {
  // Lazy binding: most of a library's functions are never called by a run.
  void* handle = dlopen(file_, RTLD_LAZY | RTLD_LOCAL);
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
