#include "search/archive/MemberPath.h"

#include "platform/archive/CompressedName.h"

namespace trawlscope {

std::u16string MemberPathOf(std::u16string_view archivePath, std::u16string_view memberName) {
  std::u16string path;
  path.reserve(archivePath.size() + kMemberSeparator.size() + memberName.size());
  for (const char16_t c : archivePath)
    if (c != u'/' || path.empty() || path.back() != u'/') path += c;
  path += kMemberSeparator;
  path += memberName;
  return path;
}

std::optional<MemberPathParts> SplitMemberPath(std::u16string_view path) {
  for (size_t at = path.find(kMemberSeparator); at != std::u16string_view::npos;
       at = path.find(kMemberSeparator, at + 1)) {
    const std::u16string_view archive = path.substr(0, at);
    if (CompressedKindOfName(archive) == CompressedKind::Archive)
      return MemberPathParts{archive, path.substr(at + kMemberSeparator.size())};
  }
  return std::nullopt;
}

bool NamesCompressed(std::u16string_view path) {
  return SplitMemberPath(path).has_value() || CompressedKindOfName(path) != CompressedKind::None;
}

}  // namespace trawlscope
