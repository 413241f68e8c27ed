#pragma once
// The INI text itself, apart from the file: finding a value and setting one
// while every other line stays exactly as it was.
#include <optional>
#include <string>
#include <string_view>

namespace trawlscope {

// `text` and names are UTF-8. The value comes back unquoted.
std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// The text with `key` of `section` set to `value`: the key's line is replaced
// where it stands, or added after the section's last entry, or a new section is
// added at the end. Lines end in CR LF, LF or a lone CR, and an added line
// ends the way the file's lines already do.
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

// How a value is written after "=": quoted when reading would otherwise change
// it (surrounding blanks, or quotes at both ends); line breaks are dropped
// because a value has to stay on its one line.
std::string EncodeIniValue(std::string_view value);

}  // namespace trawlscope
