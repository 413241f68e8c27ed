#pragma once
// Taking path text apart. "\" and "/" both separate folders in the text a user
// types; paths the program builds use "/".
#include <string>
#include <string_view>
#include <vector>

namespace trawlscope {

inline bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

// Up to and including the last separator; empty when there is none.
std::u16string FolderOf(std::u16string_view path);

// What follows the last separator.
std::u16string FileNameOf(std::u16string_view path);
std::u16string_view FileNameViewOf(std::u16string_view path);

// From the last "." of the name, lower-cased by simple case mapping; empty when
// the name has no dot.
std::u16string LowerExtensionOf(std::u16string_view path);

// The Search path text cut at double quotes: runs of quotes are skipped and the
// text between them is a token, so two quoted paths give three tokens (the
// middle one a single space, which callers skip).
std::vector<std::u16string> SplitPathTokens(std::u16string_view text);

inline bool IsSpaceToken(std::u16string_view token) { return token == u" "; }

// The folder's absolute form ending in one "/": joined to the current folder
// when relative, "." and ".." folded away by the text alone (links are not resolved).
std::u16string AbsoluteFolder(std::u16string_view folder);

// Where the pickers open: the folder of the first token whose folder exists,
// otherwise the text unchanged.
std::u16string InitialFolderFromPath(std::u16string_view text);

}  // namespace trawlscope
