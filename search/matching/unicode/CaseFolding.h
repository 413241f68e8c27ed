#pragma once
// Simple case folding of single UTF-16 code units, the comparison of the
// case-insensitive scan. A table makes it one load per unit.
#include <array>
#include <string>
#include <string_view>

namespace trawlscope {

using FoldTable = std::array<char16_t, 0x10000>;

// Any thread; built once on first use.
const FoldTable& CodeUnitFoldTable();

inline char16_t FoldCodeUnit(char16_t unit) { return CodeUnitFoldTable()[unit]; }
std::u16string FoldCodeUnits(std::u16string_view text);

// Every code unit that folds to `folded`.
std::u16string CodeUnitsFoldingTo(char16_t folded);

// Every code unit that folds to the same unit as `unit` does, `unit` included.
std::u16string CodeUnitsFoldingLike(char16_t unit);

}  // namespace trawlscope
