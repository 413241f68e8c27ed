#include "search/LineStarts.h"

#include <algorithm>

namespace trawlscope {
namespace {

bool IsBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

void BuildLineStarts(const AbortFlag& abortRequested, std::u16string_view text,
                     LineStarts& lineStarts) {
  lineStarts.clear();
  size_t i = 0;
  while (i < text.size()) {
    if (!IsBreak(text[i])) {
      ++i;
      continue;
    }
    if (IsAborted(abortRequested)) return;
    while (i < text.size() && IsBreak(text[i])) ++i;
    lineStarts.push_back(static_cast<std::int32_t>(i));
  }
}

std::int32_t LineOf(const LineStarts& lineStarts, std::int32_t position) {
  return static_cast<std::int32_t>(
             std::upper_bound(lineStarts.begin(), lineStarts.end(), position) -
             lineStarts.begin()) +
         1;
}

}  // namespace trawlscope
