#pragma once
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files/FileDescriptor.h"
#include "platform/files/FileIdentity.h"
#include "platform/files/FileInPieces.h"
#include "platform/files/Outcome.h"
#include "platform/files/SharedFolders.h"

namespace trawlscope {

// How a read that did not fail ended. A failed one fails at FileStep::Read
// with the errno that stopped it (EINVAL: not a regular file, EISDIR: a
// folder, ENOMEM: no memory for its bytes).
struct FileRead {
  // Whether the caller's identity was filled in (see WantsIdentity).
  bool identityTaken = false;
  // The open file went to be read in pieces, and nothing was read.
  bool handedOver = false;
};

// What a caller that sees a file's bytes arrive needs of those before the
// newest piece: all of them, or only the file's head (kKeptHeadBytes) and
// the kKeptTailBytes just before the piece.
enum class PastBytes { Keep, MayDrop };
inline constexpr size_t kKeptHeadBytes = 16u << 10;
inline constexpr size_t kKeptTailBytes = 4u << 10;

// Called as a file's bytes arrive, piece after piece: `soFar` holds the bytes
// before the newest piece that were kept and the newest from `newFrom` on.
// `newFrom` 0 starts the file, or starts it again. A caller looks at each
// piece while it is still in the processor's cache, rather than walking a
// large file's bytes again from memory afterwards. While it answers MayDrop,
// the reader reads on into the same small room, which stays in the cache;
// a Keep after that makes it read the file again from the start, whole.
using OnBytesRead = std::function<PastBytes(std::string_view soFar, size_t newFrom)>;

// Asked of a search once a file of one piece has been read, while it is still
// open: whether it wants the file's identity after all. Most files of a tree
// hold no hit and so need none, and their size need not be asked first either:
// a read that comes back short has reached the end. A file that changed while
// it was read is then read again, its identity first.
using WantsIdentity = std::function<bool()>;

// Room for one file's bytes, kept from file to file so that a run over a big
// tree does not allocate, zero and fault in fresh pages for every file.
class FileBuffer {
 public:
  // The file's bytes; only its head when they were let go past it.
  std::string_view Bytes() const { return {data_, size_}; }
  // False when the reader's caller let the bytes past the head go.
  bool IsWhole() const { return whole_; }
  // Drops the bytes and, when `releaseRoom`, the memory behind them.
  void Clear(bool releaseRoom = false);

 private:
  friend struct FileBufferFill;  // the reader's steps
  // Room for `size` bytes, the first `keep` of those held kept.
  char* MakeRoom(size_t size, size_t keep = 0);

  struct Free {
    void operator()(char* data) const { std::free(data); }
  };
  // From malloc, so that growing it is a realloc: a large block is moved by
  // remapping, keeping the pages already touched instead of faulting in new
  // ones for every larger file.
  std::unique_ptr<char, Free> block_;
  // The block's first byte on a cache line, where the bytes are read to.
  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
  bool whole_ = true;
};

// Keeps the folder of the last file read open, so that reading the many files
// of one folder in a row resolves the folder's path once rather than per file.
// Cursors that share their folders open each once between them.
class FolderCursor {
 public:
  FolderCursor() = default;
  ~FolderCursor() { LetGo(); }
  FolderCursor(const FolderCursor&) = delete;
  FolderCursor& operator=(const FolderCursor&) = delete;

  // From the next folder on; `folders` outlives the cursor.
  void Share(SharedFolders& folders);
  // The folder's descriptor, or -1 when it cannot be opened.
  int FolderFd(const std::string& nativeFolder);

 private:
  void LetGo();

  std::string folder_;
  int fd_ = -1;  // held from shared_, or own_'s
  FileDescriptor own_;  // while no folders are shared
  SharedFolders* shared_ = nullptr;
};

// Reads `name` in `nativeFolder` (which ends in "/") whole, as below;
// `onRead`, when given, sees the bytes as they arrive. With `pieces`, a
// file larger than `wholeUpTo` bytes is not read but handed to it, and the
// status says it was handed over. With `wantsIdentity` (and `onRead`), the
// identity of a file of one piece is taken only when it answers true.
Outcome<FileRead> ReadWholeFileIn(FolderCursor& cursor, const std::string& nativeFolder, const std::string& name,
                                  FileBuffer& buffer, FileIdentity* identity = nullptr,
                                  const OnBytesRead* onRead = nullptr, FileInPieces* pieces = nullptr,
                                  unsigned long long wholeUpTo = 0, const WantsIdentity* wantsIdentity = nullptr);

// For tests: the clock a search's read notes its start by, to read a freshly
// written file as one unchanged for a while (null: the system's).
void SetReadClockForTests(timespec (*now)());

// Reads a regular file whole, whatever its size. False, with no bytes, when
// the path is not a regular file or cannot be read (a FIFO or a device would
// hang the run or never end).
// `identity`, when given, receives what the file was as it was opened.
Outcome<FileRead> ReadWholeFile(const std::string& nativePath, FileBuffer& buffer,
                                FileIdentity* identity = nullptr);

// The same into a string, for callers that keep the bytes.
Outcome<FileRead> ReadWholeFile(const std::string& nativePath, std::string& bytes);

}  // namespace trawlscope
