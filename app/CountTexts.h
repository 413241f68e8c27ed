#pragma once
// Counts with their nouns ("1 file", "3 occurrences") in the user's
// language. Each count has its own pair of texts, so a language with other
// plural rules, or none, words them whole.
#include <cstddef>
#include <string>

#include "app/DecimalText.h"
#include "app/TextCatalogue.h"

namespace trawlscope {

inline std::u16string CountedText(size_t count, const CatalogueText& one, const CatalogueText& many) {
  return FillIn(Words(count == 1 ? one : many), {GroupedText(count)});
}

inline std::u16string FilesText(size_t count) {
  return CountedText(count, TRAWLSCOPE_TEXT("Counts", "%1 file"), TRAWLSCOPE_TEXT("Counts", "%1 files"));
}

inline std::u16string OccurrencesText(size_t count) {
  return CountedText(count, TRAWLSCOPE_TEXT("Counts", "%1 occurrence"),
                     TRAWLSCOPE_TEXT("Counts", "%1 occurrences"));
}

}  // namespace trawlscope
