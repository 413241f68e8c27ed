#pragma once
// The edits of a replace that changes only the occurrences a user picked:
// each one checked against the file as it is now, so that a file edited
// since the search is never changed at the wrong place.
#include <string>
#include <string_view>
#include <vector>

#include "search/review/HitSelection.h"
#include "search/matching/Matcher.h"
#include "search/text/ReplaceProblem.h"
#include "search/text/TextEdits.h"

namespace trawlscope {

class SelectedEdits {
 public:
  // With a matcher, each picked occurrence must be a match of the search now,
  // of exactly its length, and is replaced as a full replace would replace
  // it (an expression's format applied to the real match). Without one (no
  // search text), the picked stretch is replaced by the text as it is.
  SelectedEdits(const SelectedFile& file, const Matcher* matcher, MatchMode mode,
                const std::u16string& replacementText);

  // Over the file's whole searchable text: every occurrence inside it, none
  // overlapping another, each holding its keyword when one is known.
  ReplaceProblem Check(std::u16string_view text) const;
  // The same for a text too large to hold, a part at a time: the order of
  // the occurrences once, then the keywords of those wholly inside each part
  // (which starts `start` units into the text); one out of the text is
  // never found.
  ReplaceProblem CheckOrder() const;
  ReplaceProblem CheckKeywords(std::u16string_view part, size_t start) const;
  // Whether an occurrence starts within the `length` units from `start`, its end included.
  bool AnyWithin(size_t start, size_t length) const;

  // The edits for the picked occurrences within `part`, which starts `start`
  // units into the searchable text, relative to `part`. May be called for
  // several parts (the nodes of an XPath), in any order.
  Matcher::ScanEnd Collect(std::u16string_view part, size_t start, const AbortFlag& abortRequested,
                           TextEdits& edits);

  // Once every part is collected: whether each picked occurrence was found.
  bool AllFound() const;

 private:
  // The picked occurrence at exactly this place, or -1.
  std::ptrdiff_t IndexOf(size_t position, size_t length) const;

  const SelectedFile& file_;
  const Matcher* matcher_;
  MatchMode mode_;
  const std::u16string& replacementText_;
  std::vector<bool> found_;
};

}  // namespace trawlscope
