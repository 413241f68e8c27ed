#include "search/file/SearchPattern.h"

#include "platform/xml/XmlDocument.h"
#include "search/xml/XmlFiles.h"

namespace trawlscope {

bool SearchPattern::Prepare(bool useRegex, bool caseSensitive, const std::u16string& pattern,
                            const std::u16string& xpathText) {
  mode = ModeOf(useRegex, caseSensitive);
  hasPattern = !pattern.empty();
  xpath = xpathText;
  xpathFault = xpathText.empty() ? std::nullopt : XmlDocument::XPathFaultOf(xpathText);
  matcher = std::make_unique<Matcher>(pattern, caseSensitive);
  prefilter_.reset();
  return mode != MatchMode::RegularExpression || matcher->ExpressionCompiled();
}

void SearchPattern::PrepareLike(const SearchPattern& prepared) {
  mode = prepared.mode;
  hasPattern = prepared.hasPattern;
  xpath = prepared.xpath;
  xpathFault = prepared.xpathFault;
  matcher = std::make_unique<Matcher>(*prepared.matcher);
  prefilter_.reset();
}

RawPrefilter& SearchPattern::Prefilter() {
  if (!prefilter_) prefilter_ = std::make_unique<RawPrefilter>(*matcher, mode);
  return *prefilter_;
}

bool SearchPattern::FitsPieces() const {
  // Nothing folds to a line feed: the caseless scan's pattern holds one only when the typed one does.
  if (mode != MatchMode::RegularExpression) return matcher->Pattern().find(u'\n') == std::u16string::npos;
  // Every match, and all its assertions read, lies in a run of these characters
  // and the one after it: without a line feed among them, within a line.
  const ExpressionFacts* facts = matcher->Facts();
  return facts != nullptr && !facts->consumable.Has(U'\n');
}

bool SearchPattern::XPathApplies(const std::u16string& fileName) const {
  return !xpath.empty() && IsXmlPath(fileName);
}

}  // namespace trawlscope
