#pragma once
// Which code pages cannot write a replacement, before a replace: a file whose
// page is among them is left unchanged, and the user is told beforehand.
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// The pages among `pages` that cannot write some character of `text`, each
// once, in the order of their first place; no page 0. ICU is asked once a
// page, and not at all for ASCII text, which every page writes. For an
// expression's format only its own characters count (those of the match
// come from the file), and every syntax character of a format is ASCII.
std::vector<CodePage> PagesThatCannotHold(const std::vector<CodePage>& pages, std::u16string_view text);

// The characters of `text` that one of `pages` or more cannot write, each
// once, in the order of the pages and then of the text.
std::u16string CharactersSomePageCannotHold(const std::vector<CodePage>& pages, std::u16string_view text);

}  // namespace trawlscope
