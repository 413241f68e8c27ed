#pragma once
// Decoding through a lookup table for the stateless code pages whose
// characters take one or two bytes (the Windows and ISO single-byte pages,
// Shift_JIS, EUC-JP, GBK, Big5, EUC-KR). The table is ICU's own answer for
// every one- and two-byte character, asked once per process; decoding a
// file is then a lookup per character, several times faster than ICU's
// converter, which the search does for every file with a hit.
#include <functional>
#include <string>
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

struct HeldPrefix {
  size_t bytes = 0;  // decoded, always whole characters
  size_t units = 0;  // written
};

// Decodes `bytes` from the start, exactly as ICU's converter would, up to the
// first character the table does not hold (an invalid or unassigned
// sequence, a character of three or more bytes, a character cut off by the
// end) or to the end. `out` has room for bytes.size() units, and what it
// holds past the units written is left undefined. The pages are
// stateless, so ICU takes over from there as if it had decoded all along.
// Nothing is decoded for a page the table does not serve. Any thread.
HeldPrefix DecodeHeldPrefix(std::string_view bytes, CodePage codePage, char16_t* out);

// DecodeHeldPrefix over all of `bytes` into `text`; false when the table did
// not hold every character.
bool DecodeThroughByteTable(std::string_view bytes, CodePage codePage, std::u16string& text);

// Calls `visit(bytes, character)` for every one- and two-byte sequence that
// decodes, without an invalid or unassigned byte, to exactly one UTF-16 unit:
// what the table holds. False, visiting nothing, for a page it does not serve.
bool ForEachHeldSequence(CodePage codePage, const std::function<void(std::string_view, char16_t)>& visit);

}  // namespace trawlscope
