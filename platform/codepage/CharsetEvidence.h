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

// uchardet's single answer, kNone when it has none.
CodePage UchardetGuess(std::string_view sample);

// UTF-16 or UTF-32 without a mark, told by where the zero bytes of Latin text fall.
CodePage WideUnicodeByZeroBytes(std::string_view sample);

// Valid UTF-8 throughout, allowing a sequence cut off at the sample's end.
bool IsValidUtf8Prefix(std::string_view sample);

}  // namespace trawlscope
