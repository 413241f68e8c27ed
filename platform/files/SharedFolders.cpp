#include "platform/files/SharedFolders.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>

namespace trawlscope {
namespace {

// About the time an open takes; past it the opener may have lost its core.
constexpr int kSpinsBeforeYielding = 256;

void PauseASpin() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

}  // namespace

int OpenFolderForLookups(const std::string& nativeFolder) {
  return open(nativeFolder.empty() ? "." : nativeFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

int SharedFolders::AwaitOpened(const Slot& slot) {
  for (int spins = 0;; ++spins) {
    const int fd = slot.fd.load(std::memory_order_acquire);
    if (fd != kOpening) return fd;
    if (spins < kSpinsBeforeYielding)
      PauseASpin();
    else
      sched_yield();
  }
}

int SharedFolders::Hold(const std::string& nativeFolder) {
  Slot* shared = nullptr;  // already open, or being opened by another holder
  Slot* claimed = nullptr;  // to be opened by this caller
  FileDescriptor previous;  // the folder the claimed slot held before, closed outside the lock
  {
    const std::lock_guard lock(mutex_);
    Slot* idlest = nullptr;
    for (Slot& slot : slots_) {
      const bool inUse = slot.holders > 0 || slot.fd.load(std::memory_order_relaxed) >= 0;
      if (inUse && slot.folder == nativeFolder) {
        shared = &slot;
        break;
      }
      if (slot.holders == 0 && (idlest == nullptr || slot.lastHeld < idlest->lastHeld)) idlest = &slot;
    }
    if (shared == nullptr && idlest != nullptr) {
      claimed = idlest;
      previous = std::move(claimed->owned);
      claimed->folder = nativeFolder;
      claimed->fd.store(kOpening, std::memory_order_relaxed);
    }
    Slot* held = shared != nullptr ? shared : claimed;
    if (held != nullptr) {
      ++held->holders;
      held->lastHeld = ++clock_;
    }
  }
  // With every slot held, the descriptor is the caller's alone.
  if (shared == nullptr && claimed == nullptr) return OpenFolderForLookups(nativeFolder);
  int fd = -1;
  if (claimed != nullptr) {
    // Opened and closed outside the lock, which the other searchers take at every folder.
    previous.Close();
    claimed->owned = FileDescriptor(OpenFolderForLookups(nativeFolder));
    fd = claimed->owned.Fd();
    claimed->error = fd < 0 ? errno : 0;
    claimed->fd.store(fd, std::memory_order_release);
  } else {
    fd = AwaitOpened(*shared);
  }
  if (fd >= 0) return fd;
  Slot& failed = claimed != nullptr ? *claimed : *shared;
  const int error = failed.error;
  {
    const std::lock_guard lock(mutex_);
    --failed.holders;
  }
  errno = error;
  return -1;
}

void SharedFolders::Release(int fd) {
  if (fd < 0) return;
  {
    const std::lock_guard lock(mutex_);
    for (Slot& slot : slots_) {
      if (slot.fd.load(std::memory_order_relaxed) == fd && slot.holders > 0) {
        --slot.holders;
        return;
      }
    }
  }
  FileDescriptor(fd).Close();  // opened when every slot was held: the caller's alone
}

}  // namespace trawlscope
