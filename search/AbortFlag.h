#pragma once
#include <atomic>

namespace trawlscope {

// Set by the UI thread (Abort, closing the program), polled by the worker at
// the points each stage names. Relaxed ordering is enough: it carries no data.
using AbortFlag = std::atomic<bool>;

inline bool IsAborted(const AbortFlag& flag) { return flag.load(std::memory_order_relaxed); }

}  // namespace trawlscope
