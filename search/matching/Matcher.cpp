#include "search/matching/Matcher.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "search/matching/CaseFolding.h"

namespace trawlscope {
namespace {

using UnitIterator = const UChar*;

const UChar* AsUChars(const char16_t* text) { return reinterpret_cast<const UChar*>(text); }

}  // namespace

MatchMode ModeOf(bool useRegex, bool caseSensitive) {
  if (useRegex) return MatchMode::RegularExpression;
  return caseSensitive ? MatchMode::Exact : MatchMode::CaseInsensitive;
}

Matcher::Matcher(std::u16string pattern, bool caseSensitive)
    : pattern_(std::move(pattern)), foldedPattern_(FoldCodeUnits(pattern_)) {
  boost::regex_constants::syntax_option_type flags = boost::regex_constants::perl;
  if (!caseSensitive) flags |= boost::regex_constants::icase;
  try {
    const UChar* begin = AsUChars(pattern_.data());
    expression_ = boost::make_u32regex(begin, begin + pattern_.size(), flags);
  } catch (const std::exception&) {
    expression_.reset();
  }
  const bool asciiPattern = std::all_of(pattern_.begin(), pattern_.end(),
                                        [](char16_t c) { return c < 0x80; });
  // "\p{...}" and "\x{...}" may name characters beyond ASCII, which
  // only the Unicode engine knows.
  const bool namesCharacters = pattern_.find(u"\\p") != std::u16string::npos ||
                               pattern_.find(u"\\P") != std::u16string::npos ||
                               pattern_.find(u"\\x") != std::u16string::npos ||
                               pattern_.find(u"\\N") != std::u16string::npos ||
                               pattern_.find(u"\\X") != std::u16string::npos;
  if (expression_ && asciiPattern && !namesCharacters) {
    try {
      asciiExpression_.emplace(std::string(pattern_.begin(), pattern_.end()), flags);
    } catch (const std::exception&) {
      asciiExpression_.reset();
    }
  }
}

Matcher::ScanEnd Matcher::ScanAsciiBytes(std::string_view bytes, const AbortFlag& abortRequested,
                                         const std::function<void(size_t, size_t)>& onMatch) const {
  if (!asciiExpression_) return ScanEnd::Completed;
  const char* const begin = bytes.data();
  try {
    for (boost::cregex_iterator it(begin, begin + bytes.size(), *asciiExpression_,
                                   boost::match_default),
         done;
         it != done; ++it) {
      if (IsAborted(abortRequested)) return ScanEnd::Aborted;
      const auto& match = (*it)[0];
      onMatch(static_cast<size_t>(match.first - begin), static_cast<size_t>(match.length()));
    }
  } catch (const std::exception&) {
    return ScanEnd::MatchError;
  }
  return ScanEnd::Completed;
}

Matcher::ScanEnd Matcher::Scan(std::u16string_view text, MatchMode mode,
                               const AbortFlag& abortRequested,
                               const std::function<void(size_t, size_t)>& onMatch) const {
  switch (mode) {
    case MatchMode::Exact: return ScanExact(text, abortRequested, onMatch);
    case MatchMode::CaseInsensitive: return ScanCaseInsensitive(text, abortRequested, onMatch);
    case MatchMode::RegularExpression: return ScanExpression(text, abortRequested, onMatch);
  }
  return ScanEnd::Completed;
}

Matcher::ScanEnd Matcher::ScanExact(std::u16string_view text, const AbortFlag& abortRequested,
                                    const std::function<void(size_t, size_t)>& onMatch) const {
  if (pattern_.empty()) return ScanEnd::Completed;
  for (size_t at = text.find(pattern_); at != std::u16string_view::npos;
       at = text.find(pattern_, at + pattern_.size())) {
    if (IsAborted(abortRequested)) return ScanEnd::Aborted;
    onMatch(at, pattern_.size());
  }
  return ScanEnd::Completed;
}

Matcher::ScanEnd Matcher::ScanCaseInsensitive(
    std::u16string_view text, const AbortFlag& abortRequested,
    const std::function<void(size_t, size_t)>& onMatch) const {
  const std::u16string& p = foldedPattern_;
  if (p.empty() || p.size() > text.size()) return ScanEnd::Completed;
  const FoldTable& fold = CodeUnitFoldTable();
  const char16_t first = p.front();
  const size_t last = text.size() - p.size();
  for (size_t at = 0; at <= last;) {
    if (fold[text[at]] != first) {
      ++at;
      continue;
    }
    size_t k = 1;
    while (k < p.size() && fold[text[at + k]] == p[k]) ++k;
    if (k < p.size()) {
      ++at;
      continue;
    }
    if (IsAborted(abortRequested)) return ScanEnd::Aborted;
    onMatch(at, p.size());
    at += p.size();
  }
  return ScanEnd::Completed;
}

Matcher::ScanEnd Matcher::ScanExpression(std::u16string_view text,
                                         const AbortFlag& abortRequested,
                                         const std::function<void(size_t, size_t)>& onMatch) const {
  return ForEachExpressionMatch(text, abortRequested, [&](const ExpressionMatch& match) {
    onMatch(match.position, match.length);
  });
}

Matcher::ScanEnd Matcher::ForEachExpressionMatch(
    std::u16string_view text, const AbortFlag& abortRequested,
    const std::function<void(const ExpressionMatch&)>& onMatch,
    const std::u16string* format) const {
  if (!expression_) return ScanEnd::Completed;
  // The iteration of Boost's own replace-all (a UTF-32 view of the UTF-16
  // text), so that a search lists exactly what a replace changes. Each resume
  // point sees the text before it, so "^", "\b" and look-behind mean what
  // they mean in the whole text, and an empty match moves the scan on.
  using Units = boost::u16_to_u32_iterator<UnitIterator, UChar32>;
  using Iteration = boost::regex_iterator<Units, UChar32, boost::icu_regex_traits>;
  const UnitIterator begin = AsUChars(text.data());
  const UnitIterator end = begin + text.size();
  std::vector<UChar32> format32;
  if (format != nullptr) {
    const UnitIterator f = AsUChars(format->data());
    format32.assign(Units(f, f, f + format->size()), Units(f + format->size(), f, f + format->size()));
  }
  try {
    for (Iteration it(Units(begin, begin, end), Units(end, begin, end), *expression_,
                      boost::match_default),
         done;
         it != done; ++it) {
      if (IsAborted(abortRequested)) return ScanEnd::Aborted;
      ExpressionMatch match;
      match.position = static_cast<size_t>((*it)[0].first.base() - begin);
      match.length = static_cast<size_t>((*it)[0].second.base() - (*it)[0].first.base());
      if (format != nullptr) {
        std::vector<UChar32> formatted;
        it->format(std::back_inserter(formatted), format32, boost::format_default, *expression_);
        for (const UChar32 c : formatted) {
          if (U_IS_BMP(c)) {
            match.replacement += static_cast<char16_t>(c);
          } else {
            match.replacement += static_cast<char16_t>(U16_LEAD(c));
            match.replacement += static_cast<char16_t>(U16_TRAIL(c));
          }
        }
      }
      onMatch(match);
    }
  } catch (const std::exception&) {
    return ScanEnd::MatchError;
  }
  return ScanEnd::Completed;
}

}  // namespace trawlscope
