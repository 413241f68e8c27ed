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

inline std::u16string FoldersText(size_t count) {
  return CountedText(count, TRAWLSCOPE_TEXT("Counts", "%1 folder"), TRAWLSCOPE_TEXT("Counts", "%1 folders"));
}

// What the patterns and options left out of a run; empty when nothing was.
inline std::u16string LeftOutText(size_t files, size_t folders) {
  if (files == 0 && folders == 0) return {};
  std::u16string counts = files > 0 ? FilesText(files) : FoldersText(folders);
  if (files > 0 && folders > 0) counts = FillIn(Words(TRAWLSCOPE_TEXT("Counts", "%1, %2")), {counts, FoldersText(folders)});
  return FillIn(Words(TRAWLSCOPE_TEXT("Counts", "Left out: %1.")), {counts});
}

}  // namespace trawlscope
