#pragma once
// Conversion between a code page's bytes and UTF-16 text, over ICU. Each call
// converts one whole buffer from the encoding's initial state. Safe to call
// from any thread: converters are cached per thread.
#include <string>
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// Decodes `bytes` into `text`. Bytes the code page does not define become
// U+FFFD (or SUB, from some of ICU's tables); with `undecodable`, the count
// of those stand-ins is added to it. For 1200 a last odd byte is ignored.
// False, with an empty text, when there is no converter for the code page.
bool DecodeToUtf16(std::string_view bytes, CodePage codePage, std::u16string& text,
                   size_t* undecodable = nullptr);

// Encodes `text`; false when there is no converter or a character cannot be
// represented in the code page (nothing is replaced by "?").
bool EncodeFromUtf16(std::u16string_view text, CodePage codePage, std::string& bytes);

// Bytes of one code page as another; empty on any failure. Equal code pages
// give a copy.
std::string ConvertCodePage(std::string_view bytes, CodePage from, CodePage to);

// True when bytes 0x00..0x7F decode to the same code units in this code page,
// so pure ASCII may be widened without a converter.
bool IsAsciiTransparent(CodePage codePage);

}  // namespace trawlscope
