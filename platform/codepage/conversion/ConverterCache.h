#pragma once
// ICU converters kept per thread: opening one costs more than converting a
// small file or a detection sample with it.
#include <unicode/ucnv.h>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

enum class InvalidBytes { Substitute, Stop, Skip };

// This thread's converter for the code page, reset; null when ICU has none.
// With InvalidBytes::Stop, decoding stops at the first byte sequence that is
// not valid instead of putting a substitute in its place; with Skip, such
// sequences, and characters the page cannot encode, are left out.
UConverter* CachedConverter(CodePage codePage, InvalidBytes invalid = InvalidBytes::Substitute);

}  // namespace trawlscope
