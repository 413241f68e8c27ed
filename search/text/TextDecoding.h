#pragma once
// Turning a file's bytes into the UTF-16 text that is searched.
#include <string>
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// Detects the code page, skips a byte-order mark (recording that there was
// one) and decodes the rest. Returns the code page; kNone, with an empty
// text, when nothing can decode the bytes.
CodePage DecodeBytes(std::string_view bytes, std::u16string& text, bool& hadBom);

// Skips a byte-order mark and decodes the rest with a code page already chosen.
CodePage DecodeDetectedBytes(std::string_view bytes, CodePage codePage, std::u16string& text,
                             bool& hadBom, size_t* undecodable = nullptr);

}  // namespace trawlscope
