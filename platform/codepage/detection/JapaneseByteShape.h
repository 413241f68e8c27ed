#pragma once
// A quick look at the byte structure of a sample that settles most Japanese
// files without a statistical detector: Shift_JIS and EUC-JP place hiragana
// and katakana in byte ranges the other encoding does not accept, and real
// Japanese text is full of kana.
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// 932 or 51932 when the sample is well-formed in that encoding and reads as
// kana-rich Japanese; kNone when it is not that clear.
CodePage ClearlyJapanese(std::string_view sample);

}  // namespace trawlscope
