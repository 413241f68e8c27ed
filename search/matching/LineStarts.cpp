#include "search/matching/LineStarts.h"

#include <algorithm>

namespace trawlscope {
namespace {

template <typename Unit>
bool IsBreak(Unit c) {
  return c == Unit('\r') || c == Unit('\n');
}

template <typename Text>
void BuildFrom(const AbortFlag& abortRequested, Text text, LineStarts& lineStarts) {
  lineStarts.clear();
  size_t i = 0;
  while (i < text.size()) {
    if (!IsBreak(text[i])) {
      ++i;
      continue;
    }
    if (IsAborted(abortRequested)) return;
    while (i < text.size() && IsBreak(text[i])) ++i;
    lineStarts.push_back(static_cast<std::int64_t>(i));
  }
}

}  // namespace

void BuildLineStarts(const AbortFlag& abortRequested, std::u16string_view text,
                     LineStarts& lineStarts) {
  BuildFrom(abortRequested, text, lineStarts);
}

void BuildLineStarts(const AbortFlag& abortRequested, std::string_view asciiText,
                     LineStarts& lineStarts) {
  BuildFrom(abortRequested, asciiText, lineStarts);
}

std::int64_t LineOf(const LineStarts& lineStarts, std::int64_t position) {
  return static_cast<std::int64_t>(
             std::upper_bound(lineStarts.begin(), lineStarts.end(), position) -
             lineStarts.begin()) +
         1;
}

}  // namespace trawlscope
