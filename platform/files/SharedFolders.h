#pragma once
// The folders a run's searchers read in, each opened once for all of them.
// The files of one folder are spread over the searchers, and a searcher that
// opened the folder for itself would resolve its path once per searcher:
// on a source tree, twice as many folder opens as there are folders, each
// dearer than opening a file in it.
// Any thread may call. A folder stays open while someone holds it and a
// while after, until its slot is wanted for another.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/files/FileDescriptor.h"

namespace trawlscope {

// A descriptor of the folder ("" is the current one) that only anchors
// lookups in it, the cheapest kind to open; -1 with errno when it cannot.
int OpenFolderForLookups(const std::string& nativeFolder);

class SharedFolders {
 public:
  SharedFolders() = default;
  SharedFolders(const SharedFolders&) = delete;
  SharedFolders& operator=(const SharedFolders&) = delete;

  // The folder's descriptor, to be given back through Release(); or -1, with
  // errno, when it cannot be opened.
  int Hold(const std::string& nativeFolder);
  void Release(int fd);

 private:
  // More than a run has searchers, so that a folder just left is found
  // again by a searcher a few files behind.
  static constexpr size_t kSlots = 16;
  static constexpr int kOpening = -2;
  struct Slot {
    std::string folder;
    // Set by the holder that opens it, the only one to touch it until `fd` says so.
    FileDescriptor owned;
    // `owned`'s number, or kOpening while its first holder opens it, outside
    // the lock: the others, arriving at the same folder at the same moment, wait for it.
    std::atomic<int> fd{-1};
    int error = 0;
    int holders = 0;
    uint64_t lastHeld = 0;
  };

  static int AwaitOpened(const Slot& slot);

  std::mutex mutex_;
  std::array<Slot, kSlots> slots_;
  uint64_t clock_ = 0;
};

}  // namespace trawlscope
