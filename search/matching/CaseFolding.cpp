#include "search/matching/CaseFolding.h"

#include <unicode/uchar.h>

#include <array>
#include <memory>

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
  const FoldTable& table = Table();
  std::u16string sources;
  for (size_t c = 0; c < table.size(); ++c)
    if (table[c] == folded) sources += static_cast<char16_t>(c);
  return sources;
}

std::u16string CodeUnitsFoldingLike(char16_t unit) { return CodeUnitsFoldingTo(Table()[unit]); }

std::u16string FoldCodeUnits(std::u16string_view text) {
  const FoldTable& table = Table();
  std::u16string folded(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) folded[i] = table[text[i]];
  return folded;
}

}  // namespace trawlscope
