#pragma once
// Texts the job shows the user.

namespace trawlscope::texts {

inline constexpr char16_t kListingPhase[] = u"Making a list of files...";
inline constexpr char16_t kSearchingPhase[] = u"Searching...";
inline constexpr char16_t kReplacingPhase[] = u"Replacing...";
inline constexpr char16_t kHitsCaption[] = u"Hits:";
inline constexpr char16_t kFilesChangedCaption[] = u"Files changed:";

}  // namespace trawlscope::texts
