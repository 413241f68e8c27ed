#pragma once
// File names on Linux are bytes, usually UTF-8 but not always. In memory every
// path is UTF-16, so a name must survive the trip both ways: bytes that are not
// valid UTF-8 become the lone surrogates U+DC80..U+DCFF (one per byte) and turn
// back into the same bytes, so a file with such a name can still be opened.
// A "\" inside a name read from disk becomes U+DC5C the same way, because in
// path text "\" separates folders: "inner/..\victim.txt" must never come back
// as a path one folder up.
#include <optional>
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

// A native name as a field of a line that scripts read and the tool reads
// back: valid UTF-8 as it is, and each byte that is not, or is a TAB, CR or
// LF, as "\xHH" (upper-case hex). A run of "\" just before such an escape or
// before "x" and two hex digits is doubled, so that no name's own text reads
// as an escape; every other "\" stays single, as lists written before the
// escape have it.
std::string EscapedName(std::string_view nativeName);

// The native name that an EscapedName text stands for; hex digits of either
// case, and bytes that are not UTF-8, are taken as they are. Nothing, with
// `badAt` at its "\", when an escape stands for a byte EscapedName writes as
// itself: no name prints so, and taking it would name another file than the
// text shows (an earlier list's "\x41" is a name of its own, not "A").
std::optional<std::string> UnescapedName(std::string_view text, size_t& badAt);

}  // namespace trawlscope
