#include "platform/journal/ContentHash.h"

#include <glib.h>

#include <algorithm>
#include <memory>

namespace trawlscope {
namespace {

// g_checksum_update takes a signed length: files past 2 GiB go in pieces.
constexpr size_t kPiece = size_t{1} << 30;

}  // namespace

std::string ContentHash(std::string_view bytes) {
  const std::unique_ptr<GChecksum, decltype(&g_checksum_free)> checksum(g_checksum_new(G_CHECKSUM_SHA256),
                                                                         &g_checksum_free);
  for (size_t done = 0; done < bytes.size();) {
    const size_t piece = std::min(kPiece, bytes.size() - done);
    g_checksum_update(checksum.get(), reinterpret_cast<const guchar*>(bytes.data() + done),
                      static_cast<gssize>(piece));
    done += piece;
  }
  return g_checksum_get_string(checksum.get());
}

}  // namespace trawlscope
