#pragma once
// A replace run's changes to one text, as a list: each occurrence with what
// replaces it. Kept as a list (not applied in place) so that the file's
// original bytes can be changed at exactly these places and nowhere else.
#include <string>
#include <string_view>
#include <vector>

#include "search/matching/Matcher.h"

namespace trawlscope {

struct TextEdit {
  size_t position = 0;  // UTF-16 units into the original text
  size_t length = 0;
  std::u16string replacement;
};

using TextEdits = std::vector<TextEdit>;

// Every occurrence the search of the same request lists, in order, with its
// replacement: the text taken literally in the plain modes ("$1" stays "$1"),
// the Perl-style format applied to the match with an expression. The literal
// modes resume after each occurrence, so a replacement holding the search
// text cannot loop. The abort flag is tested at each occurrence found.
Matcher::ScanEnd CollectEdits(const Matcher& matcher, std::u16string_view text, MatchMode mode,
                              const AbortFlag& abortRequested,
                              const std::u16string& replacementText, TextEdits& edits);

// The text with every edit made.
std::u16string ApplyEdits(std::u16string_view text, const TextEdits& edits);

}  // namespace trawlscope
