#pragma once
// Which names are taken for compressed files: the suffix decides whether a
// file is opened as one, and the bytes (libarchive's reading of them) then
// whether it really is.
#include <string_view>

namespace trawlscope {

enum class CompressedKind {
  None,
  Stream,   // one compressed file: ".gz", ".bz2", ".xz", ".zst", ".lz4"
  Archive,  // members: ".zip", ".7z", ".tar" plain or compressed (".tar.gz", ".tgz"...)
};

// By the name's suffix, letters in any case.
CompressedKind CompressedKindOfName(std::u16string_view name);

// The name without its compression suffix ("ls.1.gz" gives "ls.1"): what a
// stream's one member is called. The name itself for other names.
std::u16string_view StreamMemberName(std::u16string_view name);

}  // namespace trawlscope
