#pragma once
// What a code page loses of a text: bytes it could not read, characters it
// cannot write. A wrong guess of a file's page shows as the first; a
// replacement its page cannot hold, as the second.
#include <string>
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// Whether decoding `bytes` in `codePage` gave `text` with characters put in
// for bytes the page does not define (U+FFFD, or U+001A from some tables)
// beyond those the bytes really hold.
bool HasUndecodableBytes(std::string_view bytes, CodePage codePage, std::u16string_view text);

// The characters of `text` that `codePage` cannot write, each once, in their
// order; empty when it can write all of them (or has no converter to ask).
std::u16string UnwritableCharacters(std::u16string_view text, CodePage codePage);

}  // namespace trawlscope
