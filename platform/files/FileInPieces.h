#pragma once
// A file too large to hold whole, read from start to end in pieces that the
// caller appends to a buffer of its own, so that its memory stays the size
// of a piece or two however large the file. One thread.
#include <string>

namespace trawlscope {

class FileInPieces {
 public:
  FileInPieces() = default;
  ~FileInPieces();
  FileInPieces(const FileInPieces&) = delete;
  FileInPieces& operator=(const FileInPieces&) = delete;

  // Takes an open descriptor of a regular file of `size` bytes (as it was opened).
  void Take(int fd, unsigned long long size);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  unsigned long long Size() const { return size_; }

  // Appends the next bytes, up to `count`, to `into`: how many, 0 at the end
  // (the size it had when opened, or earlier if it shrank), -1 with errno set.
  long long ReadMore(std::string& into, size_t count);
  // Back to the start; false with errno set.
  bool Rewind();

 private:
  int fd_ = -1;
  unsigned long long size_ = 0;
  unsigned long long done_ = 0;
};

}  // namespace trawlscope
