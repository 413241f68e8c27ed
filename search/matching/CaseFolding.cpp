#include "search/matching/CaseFolding.h"

#include <unicode/uchar.h>

#include <array>
#include <memory>
#include <unordered_map>

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

}  // namespace

const FoldTable& CodeUnitFoldTable() { return Table(); }

std::u16string CodeUnitsFoldingTo(char16_t folded) {
  // Asked for each unit of a search text in each code page a run meets.
  static const std::unique_ptr<std::unordered_map<char16_t, std::u16string>> sharedFolds = [] {
    const FoldTable& table = Table();
    std::unordered_map<char16_t, std::u16string> shared;
    for (size_t c = 0; c < table.size(); ++c)
      if (table[c] != c) shared[table[c]];
    for (size_t c = 0; c < table.size(); ++c)
      if (auto it = shared.find(table[c]); it != shared.end()) it->second += static_cast<char16_t>(c);
    return std::make_unique<std::unordered_map<char16_t, std::u16string>>(std::move(shared));
  }();
  if (const auto it = sharedFolds->find(folded); it != sharedFolds->end()) return it->second;
  return Table()[folded] == folded ? std::u16string(1, folded) : std::u16string();
}

std::u16string CodeUnitsFoldingLike(char16_t unit) { return CodeUnitsFoldingTo(Table()[unit]); }

std::u16string FoldCodeUnits(std::u16string_view text) {
  const FoldTable& table = Table();
  std::u16string folded(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) folded[i] = table[text[i]];
  return folded;
}

}  // namespace trawlscope
