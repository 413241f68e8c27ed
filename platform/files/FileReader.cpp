#include "platform/files/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <optional>
#include <utility>

#include "platform/files/FileDescriptor.h"
#include "platform/files/SystemCalls.h"

namespace trawlscope {
namespace {

// Buffers above this are given back after use rather than kept for the run.
constexpr size_t kKeptRoom = 64u << 20;

// Pieces small enough to stay in the processor's cache until looked at.
constexpr size_t kPieceBytes = 64u << 10;

// The kernel copies a read's bytes with `rep movsb`, which on some processors
// runs at half speed or worse when the destination sits a few bytes past the
// source's place in its page (a large malloc block starts 16 bytes into one).
// Reads land on a cache line: the file's pages start on one too.
constexpr size_t kReadAlignment = 64;

// O_NONBLOCK keeps open() from waiting on a FIFO before fstat can refuse it.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

// Reads up to `size` bytes; the count read, or -1 on an error.
long long ReadUpTo(int fd, char* into, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t got = RetryOnInterrupt([&] { return read(fd, into + done, size - done); });
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<long long>(done);
}

// Whether a regular file's inode may have changed since `since`. Some
// filesystems keep stamps to 2 s, so a change just after `since` may be
// stamped up to that much before it.
bool MayHaveChangedSince(const struct stat& info, const timespec& since) {
  constexpr time_t kStampSlackSeconds = 2;
  return info.st_ctim.tv_sec >= since.tv_sec - kStampSlackSeconds;
}

timespec (*testClock)() = nullptr;

timespec CoarseNow() {
  if (testClock != nullptr) return testClock();
  timespec now{};
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  return now;
}

int NotRegularError(const struct stat& info) { return S_ISDIR(info.st_mode) ? EISDIR : EINVAL; }

FileError ReadFailed(int error) { return FileError::System(FileStep::Read, error); }

}  // namespace

void FileBuffer::Clear(bool releaseRoom) {
  size_ = 0;
  whole_ = true;
  if (releaseRoom || capacity_ > kKeptRoom) {
    block_.reset();
    data_ = nullptr;
    capacity_ = 0;
  }
}

char* FileBuffer::MakeRoom(size_t size, size_t keep) {
  if (size > capacity_) {
    const size_t keptAt = data_ != nullptr ? static_cast<size_t>(data_ - block_.get()) : 0;
    // Not zeroed: it is read over at once. What it held need not be kept.
    char* grown = static_cast<char*>(std::realloc(block_.get(), size + kReadAlignment));
    if (grown == nullptr) {
      block_.reset();
      data_ = nullptr;
      capacity_ = 0;
      return nullptr;
    }
    block_.release();
    block_.reset(grown);
    const auto start = reinterpret_cast<uintptr_t>(grown);
    data_ = grown + ((kReadAlignment - start % kReadAlignment) % kReadAlignment);
    // realloc keeps the bytes at the block's offset, which need not be aligned alike.
    if (keep > 0 && data_ != grown + keptAt) std::memmove(data_, grown + keptAt, keep);
    capacity_ = size;
  }
  return data_;
}

void FolderCursor::LetGo() {
  if (shared_ != nullptr) shared_->Release(fd_);
  own_.Close();
  fd_ = -1;
}

void FolderCursor::Share(SharedFolders& folders) {
  LetGo();
  shared_ = &folders;
}

int FolderCursor::FolderFd(const std::string& nativeFolder) {
  if (nativeFolder == folder_ && fd_ >= 0) return fd_;
  LetGo();
  folder_ = nativeFolder;
  if (shared_ != nullptr) return fd_ = shared_->Hold(nativeFolder);
  own_ = FileDescriptor(OpenFolderForLookups(nativeFolder));
  return fd_ = own_.Fd();
}

struct FileBufferFill {
  // Reads the open file of `info` whole, or hands it to `pieces`. The first
  // `preRead` bytes (a full piece) are in the buffer already, read before
  // `info` was taken from an unchanged file.
  static Outcome<FileRead> Sized(int fd, const struct stat& info, FileBuffer& buffer, FileIdentity* identity,
                                 const OnBytesRead* onRead, FileInPieces* pieces, unsigned long long wholeUpTo,
                                 size_t preRead);
  // Reads the first piece of a search's file without asking its size. Done
  // when the read came back short (the file's end); nullopt when the file is
  // to be read as any other, and `info` then holds what it is.
  static std::optional<Outcome<FileRead>> FirstPiece(int fd, FileBuffer& buffer, FileIdentity* identity,
                                                     const OnBytesRead& onRead, const WantsIdentity& wantsIdentity,
                                                     struct stat& info, size_t& preRead);
};

Outcome<FileRead> FileBufferFill::Sized(int fd, const struct stat& info, FileBuffer& buffer, FileIdentity* identity,
                                        const OnBytesRead* onRead, FileInPieces* pieces, unsigned long long wholeUpTo,
                                        size_t preRead) {
  if (!S_ISREG(info.st_mode)) return ReadFailed(NotRegularError(info));
  const auto size = static_cast<unsigned long long>(info.st_size);
  if (identity != nullptr) *identity = FileIdentity::Of(info);
  if (pieces != nullptr && size > wholeUpTo) {
    if (preRead > 0 && lseek(fd, 0, SEEK_SET) != 0) return ReadFailed(errno);
    pieces->Take(fd, size);
    return FileRead{identity != nullptr, true};
  }
  if (preRead > size) {  // shrank, though unstamped: read it again
    if (lseek(fd, 0, SEEK_SET) != 0) return ReadFailed(errno);
    preRead = 0;
  }
  char* room = buffer.MakeRoom(static_cast<size_t>(size), preRead);
  if (room == nullptr && size > 0) return ReadFailed(ENOMEM);
  // A file that shrank while being read keeps what was read; one that grew is
  // read to the size it had when opened.
  const size_t wanted = static_cast<size_t>(size);
  size_t done = 0;  // of the file
  size_t held = 0;  // in the buffer: `done` unless bytes were let go
  bool windowed = false;
  bool mayWindow = onRead != nullptr;
  while (done < wanted) {
    const size_t piece = onRead != nullptr ? std::min(kPieceBytes, wanted - done) : wanted - done;
    const long long got = preRead > 0 ? static_cast<long long>(std::exchange(preRead, 0))
                                      : ReadUpTo(fd, room + held, piece);
    if (got < 0) return ReadFailed(errno);
    done += static_cast<size_t>(got);
    held += static_cast<size_t>(got);
    if (onRead != nullptr && got > 0) {
      const PastBytes past = (*onRead)(std::string_view(room, held), held - static_cast<size_t>(got));
      if (past == PastBytes::Keep && windowed) {
        // Too late: what was let go is needed after all. Once more from the start, whole.
        if (lseek(fd, 0, SEEK_SET) != 0) return ReadFailed(errno);
        done = held = 0;
        windowed = mayWindow = false;
        continue;
      }
      if (past == PastBytes::MayDrop && mayWindow && held > kKeptHeadBytes + kKeptTailBytes) {
        std::memmove(room + kKeptHeadBytes, room + held - kKeptTailBytes, kKeptTailBytes);
        held = kKeptHeadBytes + kKeptTailBytes;
        windowed = true;
      }
    }
    if (static_cast<size_t>(got) < piece) break;  // the file shrank while being read
  }
  buffer.size_ = windowed ? kKeptHeadBytes : held;
  buffer.whole_ = !windowed;
  return FileRead{identity != nullptr};
}

std::optional<Outcome<FileRead>> FileBufferFill::FirstPiece(int fd, FileBuffer& buffer, FileIdentity* identity,
                                                            const OnBytesRead& onRead,
                                                            const WantsIdentity& wantsIdentity, struct stat& info,
                                                            size_t& preRead) {
  const timespec started = CoarseNow();
  char* room = buffer.MakeRoom(kPieceBytes);
  if (room == nullptr) return ReadFailed(ENOMEM);
  // One call: on a regular file a read comes back short only at its end, and
  // asking again to hear so would cost as much as the fstat it saves.
  const ssize_t got = RetryOnInterrupt([&] { return read(fd, room, kPieceBytes); });
  if (got < 0) return ReadFailed(errno);
  const auto count = static_cast<size_t>(got);
  const bool wholeFile = count < kPieceBytes;
  if (wholeFile) {
    buffer.size_ = count;
    if (count > 0) onRead(std::string_view(room, count), 0);  // one piece: nothing to let go
    if (identity == nullptr || !wantsIdentity()) return FileRead{};
  }
  if (fstat(fd, &info) != 0) return ReadFailed(errno);
  if (!S_ISREG(info.st_mode)) return ReadFailed(NotRegularError(info));
  if (MayHaveChangedSince(info, started)) {
    // The bytes may be older than what fstat tells: read it again, its identity first.
    buffer.Clear();
    if (lseek(fd, 0, SEEK_SET) != 0) return ReadFailed(errno);
    if (fstat(fd, &info) != 0) return ReadFailed(errno);
    return std::nullopt;
  }
  if (!wholeFile) {
    preRead = count;
    return std::nullopt;
  }
  *identity = FileIdentity::Of(info);
  return FileRead{true};
}

namespace {

// `fd` is the result of open(): a negative one carries the open's errno.
Outcome<FileRead> ReadOpenFile(int fd, FileBuffer& buffer, FileIdentity* identity, const OnBytesRead* onRead,
                               FileInPieces* pieces, unsigned long long wholeUpTo, const WantsIdentity* wantsIdentity) {
  buffer.Clear();
  if (fd < 0) return ReadFailed(errno);
  FileDescriptor file(fd);
  struct stat info;
  size_t preRead = 0;
  if (wantsIdentity != nullptr && onRead != nullptr) {
    if (auto done = FileBufferFill::FirstPiece(file.Fd(), buffer, identity, *onRead, *wantsIdentity, info, preRead)) {
      if (!*done) buffer.Clear();
      return *done;
    }
  } else if (fstat(file.Fd(), &info) != 0) {
    return ReadFailed(errno);
  }
  const Outcome<FileRead> status =
      FileBufferFill::Sized(file.Fd(), info, buffer, identity, onRead, pieces, wholeUpTo, preRead);
  if (status && status.Value().handedOver) file.Release();
  return status;
}

}  // namespace

void SetReadClockForTests(timespec (*now)()) { testClock = now; }

Outcome<FileRead> ReadWholeFile(const std::string& nativePath, FileBuffer& buffer, FileIdentity* identity) {
  return ReadOpenFile(open(nativePath.c_str(), kReadFlags), buffer, identity, nullptr, nullptr, 0, nullptr);
}

Outcome<FileRead> ReadWholeFileIn(FolderCursor& cursor, const std::string& nativeFolder, const std::string& name,
                                  FileBuffer& buffer, FileIdentity* identity, const OnBytesRead* onRead,
                                  FileInPieces* pieces, unsigned long long wholeUpTo,
                                  const WantsIdentity* wantsIdentity) {
  const int folderFd = cursor.FolderFd(nativeFolder);
  if (folderFd < 0) {
    const int error = errno;
    buffer.Clear();
    return ReadFailed(error);
  }
  return ReadOpenFile(openat(folderFd, name.c_str(), kReadFlags), buffer, identity, onRead, pieces, wholeUpTo,
                      wantsIdentity);
}

Outcome<FileRead> ReadWholeFile(const std::string& nativePath, std::string& bytes) {
  FileBuffer buffer;
  const Outcome<FileRead> status = ReadWholeFile(nativePath, buffer);
  bytes.assign(buffer.Bytes());
  return status;
}

}  // namespace trawlscope
