#include "search/listing/PathHelpers.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>
#include <unistd.h>

#include "platform/files/DirectoryReader.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

size_t NameStart(std::u16string_view path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsSeparator(path[i - 1])) return i;
  return 0;
}

std::u16string CurrentFolder() {
  std::string buffer(4096, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return u"/";
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(buffer.find('\0'));
  return FromNativeName(buffer);
}

}  // namespace

std::u16string FolderOf(std::u16string_view path) {
  return std::u16string(path.substr(0, NameStart(path)));
}

std::u16string FileNameOf(std::u16string_view path) { return std::u16string(FileNameViewOf(path)); }

std::u16string_view FileNameViewOf(std::u16string_view path) { return path.substr(NameStart(path)); }

std::u16string LowerExtensionOf(std::u16string_view path) {
  const std::u16string_view name = path.substr(NameStart(path));
  const size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos) return {};
  const std::u16string_view extension = name.substr(dot);
  std::u16string lower;
  lower.reserve(extension.size());
  for (size_t i = 0; i < extension.size();) {
    UChar32 c;
    U16_NEXT(extension.data(), i, extension.size(), c);
    c = u_tolower(c);
    if (U_IS_BMP(c)) {
      lower += static_cast<char16_t>(c);
    } else {
      lower += U16_LEAD(c);
      lower += U16_TRAIL(c);
    }
  }
  return lower;
}

std::vector<std::u16string> SplitPathTokens(std::u16string_view text) {
  std::vector<std::u16string> tokens;
  size_t i = 0;
  for (;;) {
    while (i < text.size() && text[i] == u'"') ++i;
    if (i == text.size()) return tokens;
    const size_t end = std::min(text.find(u'"', i), text.size());
    tokens.emplace_back(text.substr(i, end - i));
    i = end;
  }
}

std::u16string AbsoluteFolder(std::u16string_view folder) {
  std::u16string joined;
  if (folder.empty() || !IsSeparator(folder.front())) joined = CurrentFolder() + u'/';
  joined += folder;

  std::vector<std::u16string_view> parts;
  const std::u16string_view all = joined;
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = start;
    while (end < all.size() && !IsSeparator(all[end])) ++end;
    const std::u16string_view part = all.substr(start, end - start);
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::u16string absolute = u"/";
  for (const auto part : parts) {
    absolute += part;
    absolute += u'/';
  }
  return absolute;
}

std::u16string InitialFolderFromPath(std::u16string_view text) {
  for (const auto& token : SplitPathTokens(text)) {
    if (IsSpaceToken(token)) continue;
    const std::u16string folder = FolderOf(token);
    if (!folder.empty() && KindOfPath(ToNativePath(folder)) == PathKind::Folder) return folder;
  }
  return std::u16string(text);
}

}  // namespace trawlscope
