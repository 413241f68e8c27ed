#pragma once
// A file too large to hold whole, read from start to end in pieces that the
// caller appends to a buffer of its own, so that its memory stays the size
// of a piece or two however large the file. One thread.
#include <cstddef>
#include <memory>
#include <string_view>

#include "platform/files/FileDescriptor.h"

namespace trawlscope {

// Bytes read ahead of their use, kept from file to file: grown without
// zeroing, since a read fills the room at once, and reused so that its
// pages stay mapped and in the processor's cache.
class PieceRoom {
 public:
  std::string_view View() const { return {data_.get(), size_}; }
  size_t size() const { return size_; }
  // Room for `count` more bytes after the held ones; Added says how many came.
  char* MakeRoomFor(size_t count);
  void Added(size_t count) { size_ += count; }
  // Drops the first `count` bytes, moving the rest to the front.
  void DropFront(size_t count);
  // Drops every byte and, when the room grew past `keptCapacity`, its memory.
  void Clear(size_t keptCapacity);

 private:
  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// Bytes that can be read once, from start to end: a member of a compressed file.
class PieceStream {
 public:
  virtual ~PieceStream() = default;
  // Up to `count` next bytes into `into`: how many, 0 at the end, -1 with errno set.
  virtual long long Read(char* into, size_t count) = 0;
};

class FileInPieces {
 public:
  FileInPieces() = default;
  FileInPieces(const FileInPieces&) = delete;
  FileInPieces& operator=(const FileInPieces&) = delete;

  // Takes an open descriptor of a regular file of `size` bytes (as it was opened).
  void Take(int fd, unsigned long long size);
  // Reads `head` (which must outlive the reading), then what `rest` gives.
  // Such bytes cannot be read again: Rewind and ReadAt fail with ESPIPE.
  void TakeStream(std::string_view head, PieceStream& rest);
  void Close();
  bool IsOpen() const { return fd_.Valid() || stream_ != nullptr; }
  bool CanReadAgain() const { return stream_ == nullptr; }
  int Fd() const { return fd_.Fd(); }
  unsigned long long Size() const { return size_; }
  // The offset of the next byte ReadMore gives.
  unsigned long long Position() const { return done_; }

  // Appends the next bytes, up to `count`, to `into`: how many, fewer than
  // `count` only at the end (the size it had when opened, or earlier if it
  // shrank), -1 with errno set.
  long long ReadMore(PieceRoom& into, size_t count);
  // Back to the start; false with errno set.
  bool Rewind();
  // `count` bytes from `offset`, wherever the reading stands, which it
  // leaves there: how many (fewer past the end), -1 with errno set.
  long long ReadAt(unsigned long long offset, char* into, size_t count) const;

 private:
  FileDescriptor fd_;
  unsigned long long size_ = 0;
  unsigned long long done_ = 0;
  PieceStream* stream_ = nullptr;
  std::string_view head_;  // a stream's bytes before those of stream_
};

}  // namespace trawlscope
