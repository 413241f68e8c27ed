#include "search/text/TextEdits.h"

namespace trawlscope {

Matcher::ScanEnd CollectEdits(const Matcher& matcher, std::u16string_view text, MatchMode mode,
                              const AbortFlag& abortRequested,
                              const std::u16string& replacementText, TextEdits& edits) {
  edits.clear();
  if (mode == MatchMode::RegularExpression) {
    return matcher.ForEachExpressionMatch(
        text, abortRequested,
        [&](const Matcher::ExpressionMatch& match) {
          edits.push_back({match.position, match.length, match.replacement});
        },
        &replacementText);
  }
  return matcher.Scan(text, mode, abortRequested, [&](size_t position, size_t length) {
    edits.push_back({position, length, replacementText});
  });
}

std::u16string ApplyEdits(std::u16string_view text, const TextEdits& edits) {
  std::u16string changed;
  changed.reserve(text.size());
  size_t copied = 0;
  for (const TextEdit& edit : edits) {
    changed.append(text.substr(copied, edit.position - copied));
    changed += edit.replacement;
    copied = edit.position + edit.length;
  }
  changed.append(text.substr(copied));
  return changed;
}

}  // namespace trawlscope
