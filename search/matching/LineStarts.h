#pragma once
// Line numbers of hits. A run of CR and LF characters in any mix is one line
// break, so empty lines do not count: entry k is the offset where line k + 2 starts.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/AbortFlag.h"

namespace trawlscope {

using LineStarts = std::vector<std::int64_t>;

// Stops early, with the entries found so far, when the abort flag is set.
void BuildLineStarts(const AbortFlag& abortRequested, std::u16string_view text,
                     LineStarts& lineStarts);

// The same over text that is pure ASCII, given as its bytes.
void BuildLineStarts(const AbortFlag& abortRequested, std::string_view asciiText,
                     LineStarts& lineStarts);

// 1-based line of the code unit at `position`.
std::int64_t LineOf(const LineStarts& lineStarts, std::int64_t position);

}  // namespace trawlscope
