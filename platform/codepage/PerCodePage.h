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
  struct Entry {
    std::once_flag computed;
    std::unique_ptr<T> answer;
  };
  static std::mutex mutex;
  static std::map<CodePage, Entry> known;  // nodes stay put: entries are used outside the lock
  Entry* entry;
  {
    std::lock_guard lock(mutex);
    entry = &known[codePage];
  }
  // Computed outside the map's lock, a few milliseconds for a double-byte
  // page: a searcher that needs another page's table meanwhile does not
  // wait, and one that needs the same page waits for it rather than compute
  // it again (the searchers of a run start on alike files together).
  std::call_once(entry->computed, [&] { entry->answer = Compute(codePage); });
  return entry->answer.get();
}

}  // namespace trawlscope
