#pragma once
// Replacing a small file's whole content so that a crash or a full disk leaves
// either the old content or the new one, never a mix and never a stray
// temporary file.
#include <string>
#include <string_view>

namespace trawlscope {

// Reads a whole file; false when it cannot be opened or read.
bool ReadSmallFile(const std::string& nativePath, std::string& content);

// Writes `content` to a temporary file beside `nativePath`, flushes it, gives it
// the old file's permission bits and renames it over the old file. Creates the
// file's folder when it is missing. False, with the old file untouched, on any failure.
bool ReplaceFileContent(const std::string& nativePath, std::string_view content);

}  // namespace trawlscope
