#include "platform/journal/ContentHash.h"

#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/files/SystemCalls.h"

namespace trawlscope {
namespace {

// g_checksum_update takes a signed length: files past 2 GiB go in pieces.
constexpr size_t kPiece = size_t{1} << 30;
constexpr size_t kReadBytes = 1u << 20;

}  // namespace

ContentHasher::ContentHasher() : checksum_(g_checksum_new(G_CHECKSUM_SHA256)) {}

ContentHasher::ContentHasher(const ContentHasher& other) : checksum_(g_checksum_copy(other.checksum_)) {}

ContentHasher::~ContentHasher() { g_checksum_free(checksum_); }

void ContentHasher::Add(std::string_view bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const size_t piece = std::min(kPiece, bytes.size() - done);
    g_checksum_update(checksum_, reinterpret_cast<const guchar*>(bytes.data() + done), static_cast<gssize>(piece));
    done += piece;
  }
}

std::string ContentHasher::Hex() const { return g_checksum_get_string(checksum_); }

std::string ContentHash(std::string_view bytes) {
  ContentHasher hasher;
  hasher.Add(bytes);
  return hasher.Hex();
}

Outcome<std::string> ContentHashOfFile(int fd, IFileOps& ops) {
  const std::unique_ptr<char[]> buffer(new char[kReadBytes]);
  ContentHasher hasher;
  for (off_t offset = 0;;) {
    const ssize_t got = RetryOnInterrupt([&] { return ops.PRead(fd, buffer.get(), kReadBytes, offset); });
    if (got < 0) return FileError::System(FileStep::Read, errno);
    if (got == 0) break;
    hasher.Add(std::string_view(buffer.get(), static_cast<size_t>(got)));
    offset += got;
  }
  return hasher.Hex();
}

}  // namespace trawlscope
