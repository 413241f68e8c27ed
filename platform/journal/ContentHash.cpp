#include "platform/journal/ContentHash.h"

#include <glib.h>

#include <algorithm>

namespace trawlscope {
namespace {

// g_checksum_update takes a signed length: files past 2 GiB go in pieces.
constexpr size_t kPiece = size_t{1} << 30;

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

}  // namespace trawlscope
