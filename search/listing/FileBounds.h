#pragma once
// Bounds on a listed file's size and modification time. A compressed file
// is judged by its own size on disk, not by what its members expand to:
// that is what the listing sees without opening it.
#include <cstdint>
#include <optional>

#include "platform/files/DirectoryReader.h"

namespace trawlscope {

struct FileBounds {
  std::optional<std::uint64_t> minSize;  // bytes, inclusive
  std::optional<std::uint64_t> maxSize;  // bytes, inclusive
  // Seconds since the epoch: modified at or after `modifiedFrom` and strictly
  // before `modifiedBefore`, so that two bounds a day apart take one day.
  std::optional<std::int64_t> modifiedFrom;
  std::optional<std::int64_t> modifiedBefore;

  bool Any() const { return minSize || maxSize || modifiedFrom || modifiedBefore; }
  bool Admit(const FileStamp& stamp) const {
    return (!minSize || stamp.size >= *minSize) && (!maxSize || stamp.size <= *maxSize) &&
           (!modifiedFrom || stamp.modified >= *modifiedFrom) && (!modifiedBefore || stamp.modified < *modifiedBefore);
  }
  bool operator==(const FileBounds&) const = default;
};

}  // namespace trawlscope
