#pragma once
// The pieces of evidence the code-page detector weighs.
#include <string_view>
#include <vector>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

struct CharsetCandidate {
  CodePage codePage;
  int confidence;  // 0..100
};

// ICU's charset detector: every candidate, best first.
std::vector<CharsetCandidate> IcuCandidates(std::string_view sample);

// False only when ICU's detector cannot name, with more than its no-evidence
// confidence of 10, a UTF-16, UTF-32, Japanese, Chinese or Korean page that
// reads `sample` without a single invalid sequence. Then only its single-byte
// pages remain, which uchardet weighs at a tenth of the cost. UTF-8 is left to
// IsValidUtf8Prefix. Cheap: no ICU detector runs.
bool IcuMayNameCleanWideOrEastAsianPage(std::string_view sample);

// uchardet's single answer, kNone when it has none.
CodePage UchardetGuess(std::string_view sample);

// uchardet's answer from the first few hundred bytes of a sample dense with
// high bytes, kNone for other samples. East Asian text, two high bytes a
// character, shows its page in that much; other answers need the full guess.
CodePage UchardetGlance(std::string_view sample);

// UTF-16 or UTF-32 without a mark, told by where the zero bytes of Latin text fall.
CodePage WideUnicodeByZeroBytes(std::string_view sample);

// Valid UTF-8 throughout, allowing a sequence cut off at the sample's end.
bool IsValidUtf8Prefix(std::string_view sample);

}  // namespace trawlscope
