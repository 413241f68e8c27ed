#pragma once
// Where a file's bytes may be cut so that each part decodes on its own to
// exactly the text the whole would give: right after a line feed, in the
// code pages where a line feed is never part of another character and no
// shift state carries over it.
#include <cstddef>
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// The pages that read ASCII as ASCII (UTF-8, Shift_JIS, EUC-JP, the
// single-byte pages ...; their lead and trail bytes are never 0x0A) and
// UTF-16 of either byte order (a line feed unit at an even offset).
bool CutsAfterLineFeeds(CodePage codePage);

// The length of the longest start of `bytes` that ends with a line feed of
// `codePage`, 0 when there is none; `bytes` starts at a character.
size_t UpToLastLineFeed(std::string_view bytes, CodePage codePage);

}  // namespace trawlscope
