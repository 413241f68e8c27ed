#pragma once
// Decoding through a lookup table for the stateless code pages whose
// characters take one or two bytes (the Windows and ISO single-byte pages,
// Shift_JIS, EUC-JP, GBK, Big5, EUC-KR). The table is ICU's own answer for
// every one- and two-byte character, asked once per process; decoding a
// file is then a lookup per character, several times faster than ICU's
// converter, which the search does for every file with a hit.
#include <string>
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// Decodes `bytes` into `text` exactly as ICU's converter would, when every
// character of `bytes` is one the table holds. False otherwise (an invalid
// or unassigned sequence, a character of three or more bytes, a page the
// table does not serve): then the caller decodes with ICU. Any thread.
bool DecodeThroughByteTable(std::string_view bytes, CodePage codePage, std::u16string& text);

}  // namespace trawlscope
