#pragma once
// Decoding many short byte sequences, each on its own but all in one call to
// ICU: the tables worked out once per code page ask ICU about every one- and
// two-byte sequence, and one call each costs far more than the conversion
// itself.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// Calls `accept(i, unit)` for each sequence that decodes, without an invalid
// or unassigned byte, to exactly one UTF-16 unit. False when the page has no
// converter or does not keep LF, the separator, as itself (the EBCDIC pages).
bool DecodeEachSequence(CodePage codePage, const std::vector<std::string>& sequences,
                        const std::function<void(size_t, char16_t)>& accept);

}  // namespace trawlscope
