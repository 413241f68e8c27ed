#pragma once
// Whether a short sample reads as real Japanese, Korean or Chinese text when
// decoded with a given code page. The statistical detectors cannot tell a
// one-line Shift_JIS file from Latin-1; what the line turns into can.
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// Samples with fewer high bytes than this are too short for the statistical
// detectors, so the East Asian readings are tried first.
inline constexpr size_t kShortSampleHighBytes = 64;

// The East Asian code page whose reading of `sample` is plausible text, or
// kNone. Tried in an order where each test rejects the pages after it:
// Japanese needs kana, Korean needs Hangul, Chinese needs common characters.
CodePage PlausibleEastAsianReading(std::string_view sample);

// True when `sample` decodes with `codePage` without a single invalid or
// unmapped sequence (a sequence cut off at the end is allowed).
bool DecodesCleanly(std::string_view sample, CodePage codePage);

// DecodesCleanly, and nearly all non-ASCII characters are of the scripts the
// code page is made for (kana and kanji, hanzi, Hangul). Other pages: DecodesCleanly.
bool ReadsAsItsScript(std::string_view sample, CodePage codePage);

// DecodesCleanly, and the text holds no C1 control character and no
// half-width katakana, which real text all but never does.
bool ReadsAsText(std::string_view sample, CodePage codePage);

}  // namespace trawlscope
