#pragma once
// What is worked out once for each code page and kept for the process:
// tables asked of ICU character by character. Any thread.
#include <map>
#include <memory>
#include <mutex>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// Compute's answer for the code page, computed on first use; null when it
// gave none.
template <typename T, std::unique_ptr<T> (*Compute)(CodePage)>
const T* OncePerCodePage(CodePage codePage) {
  static std::mutex mutex;
  static std::map<CodePage, std::unique_ptr<T>> known;
  std::lock_guard lock(mutex);
  auto it = known.find(codePage);
  if (it == known.end()) it = known.emplace(codePage, Compute(codePage)).first;
  return it->second.get();
}

}  // namespace trawlscope
