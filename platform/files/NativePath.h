#pragma once
// File names on Linux are bytes, usually UTF-8 but not always. In memory every
// path is UTF-16, so a name must survive the trip both ways: bytes that are not
// valid UTF-8 become the lone surrogates U+DC80..U+DCFF (one per byte) and turn
// back into the same bytes, so a file with such a name can still be opened.
// A "\" inside a name read from disk becomes U+DC5C the same way, because in
// path text "\" separates folders: "inner/..\victim.txt" must never come back
// as a path one folder up.
#include <string>
#include <string_view>

namespace trawlscope {

// Path text as the user typed it into a native path: "\" also separates
// folders, so it becomes "/".
std::string ToNativePath(std::u16string_view path);

// Bytes to UTF-16 without separator changes: invalid UTF-8 escaped as above,
// "\" kept as it is (for text that is no file name, or names only shown).
std::u16string FromNativePath(std::string_view nativePath);

// A name or path read from the file system, which later goes back to the file
// system: also escapes "\", so path text splitting never reinterprets it.
std::u16string FromNativeName(std::string_view nativeName);
// The same, appended to `path`: a listing builds each path without a copy of its name.
void AppendNativeName(std::u16string& path, std::string_view nativeName);

// A path as people read it: escaped "\" shown as "\", bytes that are not text
// as U+FFFD. Not for reopening the file.
std::u16string DisplayPath(std::u16string_view path);

// The folder of a native path without its last "/" ("." when it has none, "/" for the root).
std::string NativeFolderOf(const std::string& nativePath);

// UTF-16 to UTF-8 bytes, escaped surrogates back to their bytes; no separator change.
std::string ToNativeBytes(std::u16string_view text);

}  // namespace trawlscope
