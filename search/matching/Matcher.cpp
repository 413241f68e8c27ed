#include "search/matching/Matcher.h"

#include <boost/regex/icu.hpp>
#include <unicode/unistr.h>

#include <algorithm>
#include <iterator>
#include <new>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "search/matching/AbortPollingIterator.h"
#include "search/matching/expression/CandidateWindows.h"
#include "search/matching/expression/ExpressionStateLimit.h"
#include "search/matching/unicode/CaseFolding.h"

namespace trawlscope {
namespace {

using UnitIterator = const UChar*;
using PolledUnits = AbortPollingIterator<UChar>;
using PolledBytes = AbortPollingIterator<char>;
// The code points of UTF-16 text, the way the Unicode engine reads them.
template <typename Units>
using CodePoints = boost::u16_to_u32_iterator<Units, UChar32>;

const UChar* AsUChars(const char16_t* text) { return reinterpret_cast<const UChar*>(text); }

std::u16string UnitsFoldingToUnitAt(const std::u16string& folded, size_t i) {
  return i < folded.size() ? CodeUnitsFoldingTo(folded[i]) : std::u16string();
}

}  // namespace
}  // namespace trawlscope

// The matcher's give-up point for the two iterators the scans use (see
// ExpressionStateLimit). These replace Boost's own estimate for these types
// only, and must be seen before the scans below instantiate the matcher.
namespace boost::BOOST_REGEX_DETAIL_NS {

using trawlscope::CodePoints;
using trawlscope::PolledBytes;
using trawlscope::PolledUnits;

static_assert(std::is_same_v<std::iterator_traits<PolledBytes>::iterator_category,
                             std::random_access_iterator_tag>);
template <>
void perl_matcher<PolledBytes, std::allocator<sub_match<PolledBytes>>, boost::regex::traits_type>::
    estimate_max_state_count(std::random_access_iterator_tag*) {
  max_state_count = trawlscope::ExpressionStateLimit(
      trawlscope::WholeTextStateLimit::LimitedLength(last - base),
      static_cast<std::ptrdiff_t>(re.size()));
}

// Boost keeps a fixed 10^8 states for text it cannot measure at once, so the
// UTF-16 scan and the byte scan of one text gave up at different points.
static_assert(!std::is_base_of_v<std::random_access_iterator_tag,
                                 std::iterator_traits<CodePoints<PolledUnits>>::iterator_category>);
template <>
void perl_matcher<CodePoints<PolledUnits>, std::allocator<sub_match<CodePoints<PolledUnits>>>,
                  boost::icu_regex_traits>::estimate_max_state_count(void*) {
  max_state_count = trawlscope::ExpressionStateLimit(
      trawlscope::WholeTextStateLimit::LimitedLength(last.base() - base.base()),
      static_cast<std::ptrdiff_t>(re.size()));
}

}  // namespace boost::BOOST_REGEX_DETAIL_NS

namespace trawlscope {
namespace {

// The matches of the whole text, in order, found by searching only the
// stretches CandidateWindows picks (`at(i)` makes the iterator at unit i,
// `offsetOf` turns one back). Each search is Boost's own search from that
// point with the whole text behind it, so the matches are those the
// library's iteration gives. Stops early when `onMatch` returns false.
template <typename Unit, typename Regex, typename MakeIterator, typename OffsetOf, typename OnMatch>
void ForEachWindowedMatch(const ExpressionFacts& facts, std::basic_string_view<Unit> text,
                          const Regex& expression, const MakeIterator& at, const OffsetOf& offsetOf,
                          const OnMatch& onMatch) {
  using Iterator = decltype(at(0));
  CandidateWindows<Unit> windows(facts, text);
  WholeTextStateLimit limit;
  boost::match_results<Iterator> match;
  const Iterator base = at(0);
  size_t from = 0, start = 0, end = 0;
  while (windows.Next(from, start, end)) {
    limit.SearchFrom(static_cast<std::ptrdiff_t>(text.size() - from));
    if (!boost::regex_search(at(start), at(end), match, expression, boost::match_default, base)) {
      from = end;
      continue;
    }
    if (!onMatch(match)) return;
    // Matches hold a literal, so are never empty; the guard only ensures progress.
    from = std::max(offsetOf(match[0].second), start + 1);
  }
}

// Formats that copy the text before or after the match read it up to the
// searched stretch's ends, not the text's.
bool ReadsAroundTheMatch(const std::u16string* format) {
  return format != nullptr && format->find_first_of(u"`'^_") != std::u16string::npos;
}

std::vector<UChar32> CodePointsOf(const std::u16string& text) {
  using TextCodePoints = CodePoints<UnitIterator>;
  const UnitIterator f = AsUChars(text.data());
  return {TextCodePoints(f, f, f + text.size()), TextCodePoints(f + text.size(), f, f + text.size())};
}

// A match's place in UTF-16 units from `begin`, and `format` applied to it when given.
Matcher::ExpressionMatch MatchOf(const boost::match_results<CodePoints<PolledUnits>>& found,
                                 const PolledUnits& begin, const std::vector<UChar32>* format,
                                 const boost::u32regex& expression) {
  Matcher::ExpressionMatch match;
  match.position = static_cast<size_t>(found[0].first.base() - begin);
  match.length = static_cast<size_t>(found[0].second.base() - found[0].first.base());
  if (format == nullptr) return match;
  std::vector<UChar32> formatted;
  found.format(std::back_inserter(formatted), *format, boost::format_default, expression);
  for (const UChar32 c : formatted) {
    if (U_IS_BMP(c)) {
      match.replacement += static_cast<char16_t>(c);
    } else {
      match.replacement += static_cast<char16_t>(U16_LEAD(c));
      match.replacement += static_cast<char16_t>(U16_TRAIL(c));
    }
  }
  return match;
}

// The library's own words, without the excerpt it appends: that excerpt
// narrows each code point to a byte. Ours marks the place in UTF-8.
std::string DescribeExpressionError(const boost::regex_error& error, const std::u16string& pattern) {
  std::string text = error.what();
  const size_t excerpt = text.find("  The error occurred while parsing");
  if (excerpt != std::string::npos) text.resize(excerpt);
  const std::ptrdiff_t codePoints = error.position();
  if (codePoints < 0) return text;
  const icu::UnicodeString whole(false, AsUChars(pattern.data()), static_cast<int32_t>(pattern.size()));
  const int32_t at = whole.moveIndex32(0, static_cast<int32_t>(std::min<std::ptrdiff_t>(codePoints, INT32_MAX)));
  std::string before, after;
  whole.tempSubString(0, at).toUTF8String(before);
  whole.tempSubString(at).toUTF8String(after);
  return text + " (at offset " + std::to_string(codePoints) + ": " + before + ">>>HERE>>>" + after + ")";
}

}  // namespace

struct Matcher::Expressions {
  boost::u32regex unicode;
  // The same expression over bytes, when the pattern itself is ASCII: in
  // ASCII text both engines see the same characters with the same classes.
  std::optional<boost::regex> ascii;
  // When known, matches are looked for only where they can be.
  std::optional<ExpressionFacts> facts;
};

MatchMode ModeOf(bool useRegex, bool caseSensitive) {
  if (useRegex) return MatchMode::RegularExpression;
  return caseSensitive ? MatchMode::Exact : MatchMode::CaseInsensitive;
}

Matcher::Matcher(std::u16string pattern, bool caseSensitive) : parts_(std::make_shared<Parts>()) {
  parts_->pattern = std::move(pattern);
  parts_->caseSensitive = caseSensitive;
  const std::u16string_view whole(parts_->pattern);
  parts_->exactStarts = UnitSetFinder(whole.substr(0, 1), whole.substr(std::min<size_t>(1, whole.size()), 1));
}

Matcher::Matcher(const Matcher& other) : parts_(other.parts_) {}

const Matcher::Caseless& Matcher::CaselessParts() const {
  std::call_once(parts_->caselessOnce, [&] {
    std::u16string folded = FoldCodeUnits(parts_->pattern);
    UnitSetFinder starts(UnitsFoldingToUnitAt(folded, 0), UnitsFoldingToUnitAt(folded, 1));
    parts_->caseless = std::make_unique<const Caseless>(Caseless{std::move(folded), starts});
  });
  return *parts_->caseless;
}

const Matcher::Expressions* Matcher::Compiled() const {
  std::call_once(parts_->expressionOnce, [&] {
    const std::u16string& pattern = parts_->pattern;
    boost::regex_constants::syntax_option_type flags = boost::regex_constants::perl;
    if (!parts_->caseSensitive) flags |= boost::regex_constants::icase;
    auto expressions = std::make_unique<Expressions>();
    try {
      const UChar* begin = AsUChars(pattern.data());
      expressions->unicode = boost::make_u32regex(begin, begin + pattern.size(), flags);
    } catch (const boost::regex_error& error) {
      parts_->expressionError = DescribeExpressionError(error, pattern);
      return;
    } catch (const std::exception& error) {
      parts_->expressionError = error.what();
      return;
    }
    const bool asciiPattern = std::all_of(pattern.begin(), pattern.end(), [](char16_t c) { return c < 0x80; });
    // "\p{...}" and "\x{...}" may name characters beyond ASCII, which
    // only the Unicode engine knows.
    const bool namesCharacters = pattern.find(u"\\p") != std::u16string::npos ||
                                 pattern.find(u"\\P") != std::u16string::npos ||
                                 pattern.find(u"\\x") != std::u16string::npos ||
                                 pattern.find(u"\\N") != std::u16string::npos ||
                                 pattern.find(u"\\X") != std::u16string::npos;
    if (asciiPattern && !namesCharacters) {
      try {
        expressions->ascii.emplace(std::string(pattern.begin(), pattern.end()), flags);
      } catch (const std::exception&) {
        expressions->ascii.reset();
      }
    }
    expressions->facts = AnalyzeExpression(pattern, parts_->caseSensitive);
    parts_->expressions = std::move(expressions);
  });
  return parts_->expressions.get();
}

const std::string& Matcher::ExpressionError() const {
  Compiled();
  return parts_->expressionError;
}

const ExpressionFacts* Matcher::Facts() const {
  const Expressions* expressions = Compiled();
  return expressions && expressions->facts ? &*expressions->facts : nullptr;
}

Matcher::~Matcher() = default;

bool Matcher::CanScanAsciiBytes() const {
  const Expressions* expressions = Compiled();
  return expressions && expressions->ascii;
}

void Matcher::KeepWholeWordsOnly() {
  if (!words_) words_ = std::make_unique<WordBoundaries>();
}

Matcher::ScanEnd Matcher::ScanAsciiBytes(std::string_view bytes, const AbortFlag& abortRequested,
                                         const std::function<void(size_t, size_t)>& onMatch) const {
  const Expressions* expressions = Compiled();
  if (expressions == nullptr || !expressions->ascii) return ScanEnd::Completed;
  using Iteration = boost::regex_iterator<PolledBytes>;
  const AbortPollScope polling(abortRequested);
  const PolledBytes begin(bytes.data());
  const PolledBytes end(bytes.data() + bytes.size());
  if (words_) words_->SetAsciiText(bytes);
  try {
    if (expressions->facts) {
      bool aborted = false;
      ForEachWindowedMatch<char>(
          *expressions->facts, bytes, *expressions->ascii,
          [&](size_t i) { return PolledBytes(bytes.data() + i); },
          [&](PolledBytes it) { return static_cast<size_t>(it - begin); },
          [&](const boost::match_results<PolledBytes>& match) {
            if (IsAborted(abortRequested)) return !(aborted = true);
            const auto position = static_cast<size_t>(match[0].first - begin);
            const auto length = static_cast<size_t>(match[0].length());
            if (!words_ || words_->IsWholeWord(position, length)) onMatch(position, length);
            return true;
          });
      return aborted ? ScanEnd::Aborted : ScanEnd::Completed;
    }
    for (Iteration it(begin, end, *expressions->ascii, boost::match_default), done; it != done;
         ++it) {
      if (IsAborted(abortRequested)) return ScanEnd::Aborted;
      const auto& match = (*it)[0];
      const auto position = static_cast<size_t>(match.first - begin);
      const auto length = static_cast<size_t>(match.length());
      if (!words_ || words_->IsWholeWord(position, length)) onMatch(position, length);
    }
  } catch (const std::bad_alloc&) {
    throw;  // the caller's to report: the file did not fit in memory, the expression is not at fault
  } catch (const ScanAborted&) {
    return ScanEnd::Aborted;
  } catch (const std::exception&) {
    return ScanEnd::MatchError;
  }
  return ScanEnd::Completed;
}

Matcher::ScanEnd Matcher::Scan(std::u16string_view text, MatchMode mode,
                               const AbortFlag& abortRequested,
                               const std::function<void(size_t, size_t)>& onMatch) const {
  if (words_ && mode != MatchMode::RegularExpression) words_->SetText(text);
  switch (mode) {
    case MatchMode::Exact: return ScanExact(text, abortRequested, onMatch);
    case MatchMode::CaseInsensitive: return ScanCaseInsensitive(text, abortRequested, onMatch);
    case MatchMode::RegularExpression: return ScanExpression(text, abortRequested, onMatch);
  }
  return ScanEnd::Completed;
}

Matcher::ScanEnd Matcher::ScanExact(std::u16string_view text, const AbortFlag& abortRequested,
                                    const std::function<void(size_t, size_t)>& onMatch) const {
  const std::u16string& p = parts_->pattern;
  if (p.empty() || p.size() > text.size()) return ScanEnd::Completed;
  const UnitSetFinder& starts = parts_->exactStarts;
  const size_t last = text.size() - p.size();
  for (size_t at = 0; at <= last;) {
    at = starts.Find(text, at, last + 1);
    if (at > last) break;
    if (text.compare(at, p.size(), p) != 0 || (words_ && !words_->IsWholeWord(at, p.size()))) {
      ++at;
      continue;
    }
    if (IsAborted(abortRequested)) return ScanEnd::Aborted;
    onMatch(at, p.size());
    at += p.size();
  }
  return ScanEnd::Completed;
}

Matcher::ScanEnd Matcher::ScanCaseInsensitive(
    std::u16string_view text, const AbortFlag& abortRequested,
    const std::function<void(size_t, size_t)>& onMatch) const {
  if (parts_->pattern.empty() || parts_->pattern.size() > text.size()) return ScanEnd::Completed;
  const Caseless& caseless = CaselessParts();
  const std::u16string& p = caseless.foldedPattern;
  const FoldTable& fold = CodeUnitFoldTable();
  const size_t last = text.size() - p.size();
  for (size_t at = 0; at <= last;) {
    at = caseless.starts.Find(text, at, last + 1);
    if (at > last) break;
    size_t k = 1;
    while (k < p.size() && fold[text[at + k]] == p[k]) ++k;
    if (k < p.size() || (words_ && !words_->IsWholeWord(at, p.size()))) {
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
  const Expressions* expressions = Compiled();
  if (expressions == nullptr) return ScanEnd::Completed;
  // The iteration of Boost's own replace-all (a UTF-32 view of the UTF-16
  // text), so that a search lists exactly what a replace changes. Each resume
  // point sees the text before it, so "^", "\b" and look-behind mean what
  // they mean in the whole text, and an empty match moves the scan on.
  using Units = CodePoints<PolledUnits>;
  using Iteration = boost::regex_iterator<Units, UChar32, boost::icu_regex_traits>;
  const AbortPollScope polling(abortRequested);
  const PolledUnits begin(AsUChars(text.data()));
  const PolledUnits end(AsUChars(text.data() + text.size()));
  const std::vector<UChar32> format32 = format != nullptr ? CodePointsOf(*format) : std::vector<UChar32>();
  const boost::u32regex& expression = expressions->unicode;
  bool aborted = false;
  if (words_) words_->SetText(text);
  const auto emit = [&](const boost::match_results<Units>& found) {
    if (IsAborted(abortRequested)) return !(aborted = true);
    if (words_ && !words_->IsWholeWord(static_cast<size_t>(found[0].first.base() - begin),
                                       static_cast<size_t>(found[0].second.base() - found[0].first.base())))
      return true;
    onMatch(MatchOf(found, begin, format != nullptr ? &format32 : nullptr, expression));
    return true;
  };
  try {
    // Built first in any case: it refuses text that starts or ends inside a pair.
    const Units first(begin, begin, end);
    if (expressions->facts && !ReadsAroundTheMatch(format) && IsWellFormedUtf16(text)) {
      ForEachWindowedMatch<char16_t>(
          *expressions->facts, text, expression,
          [&](size_t i) { return Units(begin + static_cast<std::ptrdiff_t>(i), begin, end); },
          [&](const Units& it) { return static_cast<size_t>(it.base() - begin); }, emit);
    } else {
      for (Iteration it(first, Units(end, begin, end), expression, boost::match_default), done;
           it != done && emit(*it); ++it) {
      }
    }
  } catch (const std::bad_alloc&) {
    throw;  // the caller's to report: the file did not fit in memory, the expression is not at fault
  } catch (const ScanAborted&) {
    return ScanEnd::Aborted;
  } catch (const std::exception&) {
    return ScanEnd::MatchError;
  }
  return aborted ? ScanEnd::Aborted : ScanEnd::Completed;
}

std::optional<Matcher::ExpressionMatch> Matcher::ExpressionMatchAt(std::u16string_view text, size_t position,
                                                                  const std::u16string& format) const {
  const Expressions* expressions = Compiled();
  if (expressions == nullptr || position > text.size()) return std::nullopt;
  using Units = CodePoints<PolledUnits>;
  const AbortFlag never{false};
  const AbortPollScope polling(never);
  const PolledUnits begin(AsUChars(text.data()));
  const PolledUnits end(AsUChars(text.data() + text.size()));
  const std::vector<UChar32> format32 = CodePointsOf(format);
  try {
    boost::match_results<Units> found;
    const Units whole(begin, begin, end);
    const Units from(begin + static_cast<std::ptrdiff_t>(position), begin, end);
    if (!boost::regex_search(from, Units(end, begin, end), found, expressions->unicode,
                             boost::match_continuous, whole))
      return std::nullopt;
    return MatchOf(found, begin, &format32, expressions->unicode);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace trawlscope
