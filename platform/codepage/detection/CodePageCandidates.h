#pragma once
// The pages a file could plausibly be read in, for a user who finds the
// detector's guess wrong and wants to pick another.
#include <string_view>
#include <vector>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// At most `max` code pages, best first and without duplicates: the page
// DetectCodePage gives (a byte-order mark's page when there is one), then
// the other pages ICU's detector and uchardet name, then the Japanese,
// Chinese, Korean and Unicode pages, each only when it decodes the file's
// detection sample without an invalid sequence. Empty for max 0. It runs both
// detectors in full: meant for one file a user points at, not for a search.
// Any thread.
std::vector<CodePage> CodePageCandidates(std::string_view bytes, size_t max);

}  // namespace trawlscope
