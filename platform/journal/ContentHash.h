#pragma once
// The hash that tells whether a file is still what a replace wrote, and
// whether a journal's own files came through whole: SHA-256, from GLib,
// which the desktop side links already and which is kept by many eyes.
#include <string>
#include <string_view>

#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"

struct _GChecksum;

namespace trawlscope {

// 64 lowercase hex digits. Any thread.
std::string ContentHash(std::string_view bytes);

// The hash of the bytes of an open file, read a piece at a time.
Outcome<std::string> ContentHashOfFile(int fd, IFileOps& ops = SystemFileOps());

// The same hash of bytes that come a piece at a time. One thread.
class ContentHasher {
 public:
  ContentHasher();
  // Goes on from the bytes `other` has seen so far.
  ContentHasher(const ContentHasher& other);
  ContentHasher& operator=(const ContentHasher&) = delete;
  ~ContentHasher();
  void Add(std::string_view bytes);
  // Once every piece is added.
  std::string Hex() const;

 private:
  _GChecksum* checksum_;
};

}  // namespace trawlscope
