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
  {
    std::lock_guard lock(mutex);
    if (const auto it = known.find(codePage); it != known.end()) return it->second.get();
  }
  // Computed outside the lock, a few milliseconds for a double-byte page: a
  // searcher that needs another page's table meanwhile does not wait. Two
  // that need the same one may both compute it; the first keeps its answer.
  std::unique_ptr<T> computed = Compute(codePage);
  std::lock_guard lock(mutex);
  return known.emplace(codePage, std::move(computed)).first->second.get();
}

}  // namespace trawlscope
