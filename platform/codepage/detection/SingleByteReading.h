#pragma once
// Telling the single-byte pages apart by how their reading of a sample reads.
// uchardet's n-gram models need a few hundred letters; on a title line or a
// short file they often name a page of the wrong script (KOI8-R text as
// Greek, Cyrillic as Latin) or the wrong page of the right one. What the
// wrong readings share is visible in a few words: letters of two scripts in
// one word, a capital after small letters in every word (the case halves of
// KOI8-R and windows-1251 are swapped), symbols inside words, runs of rare
// letters, a final sigma inside a Greek word.
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// How plausible the page's reading of `sample` is as text: higher is better,
// a sum over the non-ASCII characters, so comparable between single-byte
// pages (one byte a character). kUnreadable when a byte is undefined in the
// page or reads as a C1 control.
inline constexpr double kUnreadable = -1e9;
double SingleByteReadingScore(std::string_view sample, CodePage codePage);

// True when both pages read the sample to the same text.
bool SingleByteReadingsAgree(std::string_view sample, CodePage a, CodePage b);

// The single-byte page whose reading of the sample's first non-ASCII bytes
// reads best, or `guess` unless another reads clearly better. Any thread.
CodePage BestSingleByteReading(std::string_view sample, CodePage guess);

}  // namespace trawlscope
