#include "platform/files/FileInPieces.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/files/SystemCalls.h"

namespace trawlscope {

char* PieceRoom::MakeRoomFor(size_t count) {
  if (size_ + count > capacity_) {
    const size_t capacity = std::max(size_ + count, capacity_ + capacity_ / 2);
    // Default-initialised: not zeroed, the read fills it.
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (size_ > 0) std::memcpy(grown.get(), data_.get(), size_);
    data_ = std::move(grown);
    capacity_ = capacity;
  }
  return data_.get() + size_;
}

void PieceRoom::DropFront(size_t count) {
  count = std::min(count, size_);
  if (count < size_) std::memmove(data_.get(), data_.get() + count, size_ - count);
  size_ -= count;
}

void PieceRoom::Clear(size_t keptCapacity) {
  size_ = 0;
  if (capacity_ > keptCapacity) {
    data_.reset();
    capacity_ = 0;
  }
}

void FileInPieces::Take(int fd, unsigned long long size) {
  Close();
  fd_ = FileDescriptor(fd);
  size_ = size;
  done_ = 0;
}

void FileInPieces::TakeStream(std::string_view head, PieceStream& rest) {
  Close();
  stream_ = &rest;
  head_ = head;
  size_ = ~0ull;
  done_ = 0;
}

void FileInPieces::Close() {
  fd_.Close();
  stream_ = nullptr;
  head_ = {};
}

long long FileInPieces::ReadMore(PieceRoom& into, size_t count) {
  if (stream_ != nullptr) {
    char* const room = into.MakeRoomFor(count);
    size_t got = std::min(count, head_.size());
    if (got > 0) std::memcpy(room, head_.data(), got);
    head_.remove_prefix(got);
    while (got < count) {
      const long long n = stream_->Read(room + got, count - got);
      if (n < 0) return -1;
      if (n == 0) break;
      got += static_cast<size_t>(n);
    }
    into.Added(got);
    done_ += got;
    if (got < count) size_ = done_;
    return static_cast<long long>(got);
  }
  // A file that grew is read to the size it had when opened, as a whole read would.
  const size_t wanted = static_cast<size_t>(std::min<unsigned long long>(count, size_ - done_));
  char* const room = into.MakeRoomFor(wanted);
  size_t got = 0;
  while (got < wanted) {
    const ssize_t n = RetryOnInterrupt([&] { return read(fd_.Fd(), room + got, wanted - got); });
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  into.Added(got);
  done_ += got;
  if (got < wanted) size_ = done_;  // it shrank while being read: it ends here
  return static_cast<long long>(got);
}

bool FileInPieces::Rewind() {
  if (stream_ != nullptr) {
    errno = ESPIPE;
    return false;
  }
  if (lseek(fd_.Fd(), 0, SEEK_SET) != 0) return false;
  done_ = 0;
  return true;
}

long long FileInPieces::ReadAt(unsigned long long offset, char* into, size_t count) const {
  if (stream_ != nullptr) {
    errno = ESPIPE;
    return -1;
  }
  size_t got = 0;
  while (got < count) {
    const ssize_t n = RetryOnInterrupt(
        [&] { return pread(fd_.Fd(), into + got, count - got, static_cast<off_t>(offset + got)); });
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return static_cast<long long>(got);
}

}  // namespace trawlscope
