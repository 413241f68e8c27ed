#include "platform/codepage/conversion/UnwritablePages.h"

#include <algorithm>

#include "platform/codepage/conversion/UnwritableCharacters.h"

namespace trawlscope {

std::vector<CodePage> PagesThatCannotHold(const std::vector<CodePage>& pages, std::u16string_view text) {
  std::vector<CodePage> refused;
  if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; })) return refused;
  std::vector<CodePage> asked;
  for (const CodePage page : pages) {
    if (page == 0 || std::find(asked.begin(), asked.end(), page) != asked.end()) continue;
    asked.push_back(page);
    if (!UnwritableCharacters(text, page).empty()) refused.push_back(page);
  }
  return refused;
}

std::u16string CharactersSomePageCannotHold(const std::vector<CodePage>& pages, std::u16string_view text) {
  std::u16string characters;
  for (const CodePage page : pages)
    for (const char16_t c : UnwritableCharacters(text, page))
      if (characters.find(c) == std::u16string::npos) characters += c;
  return characters;
}

}  // namespace trawlscope
