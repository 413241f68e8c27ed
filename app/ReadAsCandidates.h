#pragma once
// The pages "Read this file as" offers first for one file of the list.
#include <string>
#include <vector>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// Up to kReadAsCandidates pages the file's bytes could be in, the likeliest
// first, leaving out `current`, the one it was read in. Reads only the
// file's head; empty when the file cannot be read.
inline constexpr size_t kReadAsCandidates = 6;
std::vector<CodePage> ReadAsCandidates(const std::u16string& path, CodePage current);

}  // namespace trawlscope
