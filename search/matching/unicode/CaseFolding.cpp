#include "search/matching/unicode/CaseFolding.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace trawlscope {
namespace {

const FoldTable& Table() {
  static const std::unique_ptr<FoldTable> table = [] {
    auto built = std::make_unique<FoldTable>();
    for (UChar32 c = 0; c < 0x10000; ++c) {
      const UChar32 folded = U_IS_SURROGATE(c) ? c : u_foldCase(c, U_FOLD_CASE_DEFAULT);
      // A BMP character that folds outside the BMP cannot be compared unit by unit.
      (*built)[c] = static_cast<char16_t>(folded <= 0xFFFF ? folded : c);
    }
    return built;
  }();
  return *table;
}

// Orders (folded, unit) pairs by the folded unit alone, for equal_range.
struct FoldedFirst {
  bool operator()(const std::pair<char16_t, char16_t>& pair, char16_t folded) const { return pair.first < folded; }
  bool operator()(char16_t folded, const std::pair<char16_t, char16_t>& pair) const { return folded < pair.first; }
};

}  // namespace

const FoldTable& CodeUnitFoldTable() { return Table(); }

std::u16string CodeUnitsFoldingTo(char16_t folded) {
  // Asked for each unit of a search text in each code page a run meets. Some
  // 1,400 units fold to another: they are kept as (folded, unit) pairs in
  // order, one pass over the table, so that a case-sensitive run, which
  // never asks, pays nothing and a caseless one pays no hashing.
  static const std::vector<std::pair<char16_t, char16_t>> foldingPairs = [] {
    const FoldTable& table = Table();
    std::vector<std::pair<char16_t, char16_t>> pairs;
    for (size_t c = 0; c < table.size(); ++c)
      if (table[c] != c) pairs.emplace_back(table[c], static_cast<char16_t>(c));
    std::sort(pairs.begin(), pairs.end());
    return pairs;
  }();
  const auto [first, last] = std::equal_range(foldingPairs.begin(), foldingPairs.end(), folded,
                                              FoldedFirst{});
  // The unit itself, when it folds to itself, takes its place in ascending order.
  std::u16string units;
  bool selfPlaced = Table()[folded] != folded;
  for (auto it = first; it != last; ++it) {
    if (!selfPlaced && folded < it->second) {
      units += folded;
      selfPlaced = true;
    }
    units += it->second;
  }
  if (!selfPlaced) units += folded;
  return units;
}

std::u16string CodeUnitsFoldingLike(char16_t unit) { return CodeUnitsFoldingTo(Table()[unit]); }

std::u16string FoldCodeUnits(std::u16string_view text) {
  const FoldTable& table = Table();
  std::u16string folded(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) folded[i] = table[text[i]];
  return folded;
}

}  // namespace trawlscope
