#pragma once
// How a hit names what it is in when that is a member of an archive: the
// archive's path, "//", then the member's path as the archive stores it
// ("/data/docs.zip//guide/intro.txt"). A file name never holds "/", and the
// archive's path is written with single separators, so the first "//" after
// a name with an archive's suffix is where the member begins, whatever the
// member's own path holds ("//" included). A compressed stream has one
// member, named by the file's own path.
#include <optional>
#include <string>
#include <string_view>

namespace trawlscope {

inline constexpr std::u16string_view kMemberSeparator = u"//";

// The member's path in the notation; runs of "/" in `archivePath` become one.
std::u16string MemberPathOf(std::u16string_view archivePath, std::u16string_view memberName);

struct MemberPathParts {
  std::u16string_view archive;
  std::u16string_view member;
};

// The archive and the member a path in the notation names; nothing for the
// path of a file of its own.
std::optional<MemberPathParts> SplitMemberPath(std::u16string_view path);

// Whether a path is inside a compressed file as far as its text tells: a
// member of an archive, or a file with a compressed stream's or archive's name.
bool NamesCompressed(std::u16string_view path);

}  // namespace trawlscope
