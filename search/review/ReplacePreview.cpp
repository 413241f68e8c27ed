#include "search/review/ReplacePreview.h"

namespace trawlscope {
namespace {

// Look-aheads and look-behinds may read any distance from the match, so the
// contexts a hit keeps cannot be trusted to hold what they read. Escaped
// parentheses only make a preview say "not known", never a wrong one.
bool MayLookAround(const std::u16string& pattern) {
  for (const char16_t* construct : {u"(?=", u"(?!", u"(?<=", u"(?<!"})
    if (pattern.find(construct) != std::u16string::npos) return true;
  return false;
}

// Perl-style formats that copy the text before or after the match: "$`",
// "$'", "$_" and the named forms.
bool CopiesAroundTheMatch(const std::u16string& format) {
  if (format.find(u"PREMATCH") != std::u16string::npos || format.find(u"POSTMATCH") != std::u16string::npos)
    return true;
  // "$$" is a dollar sign; after any other "$" the next character says what is copied.
  for (size_t at = format.find(u'$'); at != std::u16string::npos && at + 1 < format.size();
       at = format.find(u'$', at + 2)) {
    if (std::u16string_view(u"`'_").find(format[at + 1]) != std::u16string_view::npos) return true;
  }
  return false;
}

}  // namespace

ReplacePreview::ReplacePreview(const SearchRequest& request)
    : mode_(ModeOf(request.useRegex, request.caseSensitive)),
      matcher_(std::make_unique<Matcher>(request.searchText, request.caseSensitive)),
      readsBeyondTheMatch_(MayLookAround(request.searchText)) {}

ReplacePreview::Outcome ReplacePreview::Of(const Hit& hit, const std::u16string& replacementText) const {
  // The plain modes put the text in literally, as the replace does.
  if (mode_ != MatchMode::RegularExpression) return {true, replacementText};
  if (readsBeyondTheMatch_ || CopiesAroundTheMatch(replacementText)) return {};
  const std::u16string left = hit.LeftContext();
  const std::u16string text = left + hit.Keyword() + hit.RightContext();
  const auto match = matcher_->ExpressionMatchAt(text, left.size(), replacementText);
  if (!match || match->length != static_cast<size_t>(hit.length)) return {};
  return {true, match->replacement};
}

}  // namespace trawlscope
