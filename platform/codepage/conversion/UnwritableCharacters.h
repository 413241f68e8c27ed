#pragma once
// The characters a code page cannot write: a replacement its page cannot
// hold is refused before anything is written.
#include <string>
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// The characters of `text` that `codePage` cannot write, each once, in their
// order; empty when it can write all of them (or has no converter to ask).
std::u16string UnwritableCharacters(std::u16string_view text, CodePage codePage);

}  // namespace trawlscope
