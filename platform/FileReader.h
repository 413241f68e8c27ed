#pragma once
#include <string>

namespace trawlscope {

// Reads a regular file whole, whatever its size. False, with no bytes, when
// the path is not a regular file or cannot be read (a FIFO or a device would
// hang the run or never end).
bool ReadWholeFile(const std::string& nativePath, std::string& bytes);

}  // namespace trawlscope
