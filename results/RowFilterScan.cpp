#include "results/RowFilterScan.h"

#include <string_view>

#include "platform/files/NativePath.h"
#include "search/matching/CaseFolding.h"
#include "search/matching/Matcher.h"

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

}  // namespace

std::optional<FilterMatches> MatchingHits(const HitList& hits, const RowFilter& filter, const std::atomic<bool>& cancel) {
  FilterMatches result;
  const FilterFinder finder(filter);
  result.match.assign(hits.size(), false);
  result.valid = finder.Valid();
  if (!result.valid) return result;
  const HitFile* file = nullptr;
  bool pathMatches = false;
  std::u16string text;
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
    }
    if (pathMatches) {
      result.match[index] = true;
    } else {
      const TextView row = hit.RowView();
      result.match[index] = finder.FoundIn(std::u16string_view(text).substr(row.Start(), row.size()));
    }
    ++index;
  }
  return result;
}

}  // namespace trawlscope
