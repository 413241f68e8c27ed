#pragma once
// Searching inside one compressed file or archive: each member the File
// types take is read into memory (never onto disk) and searched as a file
// of its own, with its own code page and hits; a large one a piece at a
// time as it is expanded. Made once per run, used by
// every searcher thread at once.
#include <cstddef>
#include <string>
#include <vector>

#include "search/AbortFlag.h"
#include "search/file/FileSearcher.h"
#include "search/hits/HitList.h"
#include "search/archive/CompressedProblem.h"
#include "search/archive/MemberFilter.h"

namespace trawlscope {

// How far one member may expand. Real text compresses some 3 to 10 times,
// logs of one repeated line a few hundred; a large member is searched in
// pieces as it is expanded, so this bounds the time a bomb takes, not the
// memory, but for a member that must be read whole (a pattern that may match
// a line feed), held as its text twice over when widened.
inline constexpr size_t kMemberLimitBytes = size_t{1} << 30;

struct CompressedSearchResult {
  bool notCompressed = false;  // a plain file behind a compressed name: to be searched as a file
  bool aborted = false;
  size_t searched = 0;               // members searched
  size_t binary = 0;                 // members skipped as binary
  std::vector<std::u16string> unsearchable;  // members the expression was too complex for
  int unreadable = 0;                // the file could not be opened or read: the errno
  std::vector<CompressedProblem> problems;
  size_t mostHeld = 0;  // the most bytes of one member held at once
};

class CompressedSearch {
 public:
  explicit CompressedSearch(std::u16string_view fileTypes, size_t memberLimit = kMemberLimitBytes)
      : filter_(fileTypes), memberLimit_(memberLimit) {}

  // Whether `path` is opened as a compressed file rather than read as one.
  static bool Handles(std::u16string_view path);

  // Whether the file behind a compressed name really is compressed (or an
  // archive): false for a plain file, which is then read as any other.
  static bool IsCompressedFile(const std::u16string& path);

  CompressedSearchResult Search(FileSearcher& searcher, const AbortFlag& abortRequested,
                                const std::u16string& path, HitList& hits, int contextLength) const;

 private:
  MemberFilter filter_;
  size_t memberLimit_;
};

}  // namespace trawlscope
