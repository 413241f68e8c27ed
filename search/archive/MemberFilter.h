#pragma once
// Which members of a compressed file a run searches: the File types
// pattern applies to the member's name as well as to the archive's, so
// "*.txt" finds the text files inside "docs.zip" and the manual page
// "ls.1.gz" under "*.1", and "*.zip" every member of a zip. The one place
// the pattern meets compressed files. Any thread, once made.
#include <string_view>

#include "search/listing/WildcardPattern.h"

namespace trawlscope {

class MemberFilter {
 public:
  explicit MemberFilter(std::u16string_view fileTypes) : pattern_(fileTypes) {}

  // `archiveName` and `memberName` without folders.
  bool Wants(std::u16string_view archiveName, std::u16string_view memberName) const {
    return pattern_.MatchesEverything() || pattern_.Matches(archiveName) || pattern_.Matches(memberName);
  }

  // Whether the listing must hand over a file the pattern does not take:
  // one of its members may fit.
  static bool MayHoldWanted(std::u16string_view fileName);

 private:
  WildcardPattern pattern_;
};

}  // namespace trawlscope
