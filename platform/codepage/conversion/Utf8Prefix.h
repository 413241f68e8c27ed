#pragma once
// Decoding UTF-8 without ICU as far as it is well formed: most files of a
// search are, and this is several times faster than ICU's converter. ICU
// takes over at the first ill-formed byte, so that its stand-ins for broken
// sequences stay exactly its own.
#include <string_view>

#include "platform/codepage/conversion/ByteTableDecoder.h"

namespace trawlscope {

// Decodes `bytes` from the start up to the first byte that does not begin a
// well-formed sequence (Unicode's table 3-7: no overlong forms, surrogates or
// code points past U+10FFFF), or a sequence cut off by the end. `out` has
// room for bytes.size() units (past the units written, what it holds is
// left undefined). Since UTF-8 keeps no state between
// characters, ICU from there on decodes as if it had decoded all along.
// Any thread.
HeldPrefix DecodeUtf8Prefix(std::string_view bytes, char16_t* out);

}  // namespace trawlscope
