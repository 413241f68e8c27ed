#pragma once
// Where in a file's bytes a position of its decoded UTF-16 text lies, so that
// a change can be written into the original bytes instead of re-encoding the
// whole text (which would rewrite invalid bytes, a wrong guess of the
// detector, or CP932 characters whose bytes do not come back the same).
#include <optional>
#include <string_view>
#include <vector>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// For each of `positions` (ascending UTF-16 offsets into the text that
// `bytes` decode to with `codePage`; the text's length allowed), the offset
// of the first byte of the character starting there. Nothing when a position
// falls inside a character, or the page has no converter.
std::optional<std::vector<size_t>> ByteOffsetsOfPositions(std::string_view bytes, CodePage codePage,
                                                          const std::vector<size_t>& positions);

}  // namespace trawlscope
