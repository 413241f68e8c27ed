#include "platform/files/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

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

class OpenFile {
 public:
  explicit OpenFile(int fd) : fd_(fd) {}
  ~OpenFile() {
    if (fd_ >= 0) close(fd_);
  }
  int Fd() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

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

// The size of a regular file, or -1 with `error` set for anything else.
long long RegularFileSize(int fd, FileIdentity* identity, int& error) {
  struct stat info;
  if (fstat(fd, &info) != 0) {
    error = errno;
    return -1;
  }
  if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return -1;
  }
  if (identity != nullptr) *identity = FileIdentity::Of(info);
  return info.st_size;
}

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

char* FileBuffer::MakeRoom(size_t size) {
  if (size > capacity_) {
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
    capacity_ = size;
  }
  return data_;
}

FolderCursor::~FolderCursor() { LetGo(); }

void FolderCursor::LetGo() {
  if (fd_ >= 0) shared_ != nullptr ? shared_->Release(fd_) : static_cast<void>(close(fd_));
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
  fd_ = shared_ != nullptr ? shared_->Hold(nativeFolder) : OpenFolderForLookups(nativeFolder);
  return fd_;
}

// `fd` is the result of open(): a negative one carries the open's errno.
ReadStatus ReadOpenFile(int fd, FileBuffer& buffer, FileIdentity* identity, const OnBytesRead* onRead,
                        FileInPieces* pieces, unsigned long long wholeUpTo) {
  buffer.Clear();
  if (fd < 0) return {errno};
  OpenFile file(fd);
  int error = 0;
  const long long size = RegularFileSize(file.Fd(), identity, error);
  if (size < 0) return {error};
  if (pieces != nullptr && static_cast<unsigned long long>(size) > wholeUpTo) {
    pieces->Take(file.Release(), static_cast<unsigned long long>(size));
    return {kHandedOverInPieces};
  }
  char* room = buffer.MakeRoom(static_cast<size_t>(size));
  if (room == nullptr && size > 0) return {ENOMEM};
  // A file that shrank while being read keeps what was read; one that grew is
  // read to the size it had when opened.
  const size_t wanted = static_cast<size_t>(size);
  size_t done = 0;  // of the file
  size_t held = 0;  // in the buffer: `done` unless bytes were let go
  bool windowed = false;
  bool mayWindow = onRead != nullptr;
  while (done < wanted) {
    const size_t piece = onRead != nullptr ? std::min(kPieceBytes, wanted - done) : wanted - done;
    const long long got = ReadUpTo(file.Fd(), room + held, piece);
    if (got < 0) return {errno};
    done += static_cast<size_t>(got);
    held += static_cast<size_t>(got);
    if (onRead != nullptr && got > 0) {
      const PastBytes past = (*onRead)(std::string_view(room, held), held - static_cast<size_t>(got));
      if (past == PastBytes::Keep && windowed) {
        // Too late: what was let go is needed after all. Once more from the start, whole.
        if (lseek(file.Fd(), 0, SEEK_SET) != 0) return {errno};
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
  return {};
}

ReadStatus ReadWholeFile(const std::string& nativePath, FileBuffer& buffer, FileIdentity* identity) {
  return ReadOpenFile(open(nativePath.c_str(), kReadFlags), buffer, identity, nullptr, nullptr, 0);
}

ReadStatus ReadWholeFileIn(FolderCursor& cursor, const std::string& nativeFolder, const std::string& name,
                           FileBuffer& buffer, FileIdentity* identity, const OnBytesRead* onRead,
                           FileInPieces* pieces, unsigned long long wholeUpTo) {
  const int folderFd = cursor.FolderFd(nativeFolder);
  if (folderFd < 0) {
    const int error = errno;
    buffer.Clear();
    return {error};
  }
  return ReadOpenFile(openat(folderFd, name.c_str(), kReadFlags), buffer, identity, onRead, pieces, wholeUpTo);
}

ReadStatus ReadWholeFile(const std::string& nativePath, std::string& bytes) {
  FileBuffer buffer;
  const ReadStatus status = ReadWholeFile(nativePath, buffer);
  bytes.assign(buffer.Bytes());
  return status;
}

}  // namespace trawlscope
