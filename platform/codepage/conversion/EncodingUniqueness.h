#pragma once
// Whether a character has one byte form only in a code page. Where it does,
// an occurrence in the decoded text implies its encoded bytes in the file, and
// a file without those bytes need not be decoded at all.
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// True when, in this code page, every character of `text` is written with
// exactly one byte sequence, no other sequence decodes to it, and the page is
// stateless (ISO-2022, HZ and UTF-7 spell one character several ways).
// U+FFFD never qualifies: any invalid byte decodes to it. Any thread.
bool HasUniqueByteForms(std::u16string_view text, CodePage codePage);

// False only when no byte sequence of the code page decodes to `character`.
bool CanDecodeTo(char16_t character, CodePage codePage);

}  // namespace trawlscope
