#pragma once
// Writing a whole text as a file in a code page, with the mark that page
// takes (EF BB BF for 65001, FF FE for 1200, FE FF for 1201, none otherwise).
// The result output file goes through here: UTF-16 LE with its mark.
#include <optional>
#include <string>
#include <string_view>

#include "platform/codepage/CodePageTable.h"
#include "platform/files/SafeFileWriter.h"

namespace trawlscope {

// The file's bytes: the mark when asked for and the page has one, then the
// text. Nothing when the text holds a character the page cannot carry.
std::optional<std::string> TextFileBytes(std::u16string_view text, CodePage codePage, bool withMark);

// Creates or replaces the file atomically. Not written when the text holds a
// character the code page cannot carry.
Outcome<FileIdentity> WriteTextFile(const std::u16string& path, std::u16string_view text, CodePage codePage,
                                    bool withMark);

}  // namespace trawlscope
