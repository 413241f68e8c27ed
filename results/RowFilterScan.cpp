#include "results/RowFilterScan.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/files/NativePath.h"
#include "search/matching/Matcher.h"
#include "search/matching/unicode/CaseFolding.h"

namespace trawlscope {
namespace {

constexpr size_t kHitsPerCancelCheck = 1u << 14;

// One file's text as the filter reads it: its context buffer widened, and
// folded for the plain filter. Made once per file, not once per hit.
std::u16string FileText(const HitFile& file, bool fold) {
  std::u16string text = file.isNarrow ? std::u16string(file.narrow.begin(), file.narrow.end()) : file.wide;
  if (fold)
    for (char16_t& unit : text) unit = FoldCodeUnit(unit);
  return text;
}

// Finds the filter in a text: plain (folded) or the expression.
class FilterFinder {
 public:
  explicit FilterFinder(const RowFilter& filter)
      : expression_(filter.expression), folded_(FoldCodeUnits(filter.text)), matcher_(filter.text, false) {}
  bool Valid() const { return !expression_ || matcher_.ExpressionCompiled(); }
  // Strings (folded) one of which every match holds: the plain filter's
  // text, or what the expression's parser could tell; none when it could not.
  std::vector<std::u16string> Required() const {
    if (!expression_) return {folded_};
    const ExpressionFacts* facts = matcher_.Facts();
    if (facts == nullptr || !facts->caseless) return {};
    return facts->requiredLiterals;
  }
  bool Folds() const { return !expression_; }
  // `text` is folded when Folds().
  bool FoundIn(std::u16string_view text) const {
    if (!expression_) return text.find(folded_) != std::u16string_view::npos;
    AbortFlag found{false};
    matcher_.Scan(text, MatchMode::RegularExpression, found, [&](size_t, size_t) { found = true; });
    return found;
  }

 private:
  bool expression_;
  std::u16string folded_;
  Matcher matcher_;
};

// Where the required strings start in a file's folded text, found in one
// pass over the text rather than once in each row, whose texts overlap.
class RequiredStarts {
 public:
  explicit RequiredStarts(std::vector<std::u16string> required) : required_(std::move(required)) {}
  bool Known() const { return !required_.empty(); }
  void Find(std::u16string_view folded) {
    starts_.clear();
    for (const std::u16string& literal : required_)
      for (size_t at = folded.find(literal); at != std::u16string_view::npos; at = folded.find(literal, at + 1))
        starts_.emplace_back(at, at + literal.size());
    std::sort(starts_.begin(), starts_.end());
  }
  // Whether one of them lies whole in [begin, end).
  bool Within(size_t begin, size_t end) const {
    for (auto it = std::lower_bound(starts_.begin(), starts_.end(), std::make_pair(begin, size_t{0}));
         it != starts_.end() && it->first < end; ++it)
      if (it->second <= end) return true;
    return false;
  }

 private:
  std::vector<std::u16string> required_;
  std::vector<std::pair<size_t, size_t>> starts_;  // begin and end of each
};

}  // namespace

std::optional<FilterMatches> MatchingHits(const HitList& hits, const RowFilter& filter, const std::atomic<bool>& cancel) {
  FilterMatches result;
  const FilterFinder finder(filter);
  result.match.assign(hits.size(), false);
  result.valid = finder.Valid();
  if (!result.valid) return result;
  RequiredStarts required(finder.Required());
  const HitFile* file = nullptr;
  bool pathMatches = false;
  std::u16string text;  // folded for the plain filter, as it is for an expression
  size_t index = 0;
  // A file's hits come one after another: its path and text are made once.
  for (const Hit& hit : hits) {
    if (index % kHitsPerCancelCheck == 0 && cancel.load(std::memory_order_relaxed)) return std::nullopt;
    if (&hit.File() != file) {
      file = &hit.File();
      std::u16string path = DisplayPath(hit.FullPath());
      if (finder.Folds()) path = FoldCodeUnits(path);
      pathMatches = finder.FoundIn(path);
      text = pathMatches ? std::u16string() : FileText(*file, finder.Folds());
      if (!pathMatches && required.Known()) required.Find(finder.Folds() ? text : FileText(*file, true));
    }
    const TextView row = hit.RowView();
    const size_t begin = row.Start(), end = row.Start() + row.size();
    if (pathMatches) {
      result.match[index] = true;
    } else if (required.Known() && !required.Within(begin, end)) {
      result.match[index] = false;
    } else {
      // The plain filter is settled by its own start; an expression still has to match.
      result.match[index] = !finder.Folds() ? finder.FoundIn(std::u16string_view(text).substr(begin, row.size())) : true;
    }
    ++index;
  }
  return result;
}

}  // namespace trawlscope
