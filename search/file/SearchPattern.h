#pragma once
// What a run looks for, prepared once: the match mode, the compiled search
// text, the XPath that picks an XML file's text, and the raw prefilter built
// from them when a file first needs it. The per-file searcher, its window and
// the replacer all read it; each of a run's threads holds its own copy.
#include <memory>
#include <optional>
#include <string>

#include "platform/xml/XmlDocument.h"
#include "search/matching/Matcher.h"
#include "search/matching/RawPrefilter.h"

namespace trawlscope {

struct SearchPattern {
  // False when the mode is the expression and the text is not a valid one.
  bool Prepare(bool useRegex, bool caseSensitive, const std::u16string& pattern, const std::u16string& xpathText);
  // As `prepared`, sharing its compiled text; the prefilter is built afresh.
  void PrepareLike(const SearchPattern& prepared);
  RawPrefilter& Prefilter();
  // Whether no match (nor anything it looks at) can hold a line feed, and
  // a file's text may so be searched a piece of lines at a time.
  bool FitsPieces() const;
  // Whether the file named `fileName` is searched through the XPath.
  bool XPathApplies(const std::u16string& fileName) const;

  MatchMode mode = MatchMode::Exact;
  bool hasPattern = false;
  std::u16string xpath;
  std::optional<XPathFault> xpathFault;  // why the XPath does not compile
  std::unique_ptr<Matcher> matcher;

 private:
  std::unique_ptr<RawPrefilter> prefilter_;
};

}  // namespace trawlscope
