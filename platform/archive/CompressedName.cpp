#include "platform/archive/CompressedName.h"

#include <array>

namespace trawlscope {
namespace {

constexpr std::array<std::u16string_view, 5> kStreamSuffixes = {u".gz", u".bz2", u".xz", u".zst", u".lz4"};
constexpr std::array<std::u16string_view, 10> kArchiveSuffixes = {
    u".zip", u".7z", u".tar", u".tgz", u".tbz", u".tbz2", u".txz", u".tzst", u".tlz4", u".jar"};

bool EndsWithFolded(std::u16string_view name, std::u16string_view suffix) {
  if (name.size() <= suffix.size()) return false;  // a name that is only the suffix names nothing compressed
  const std::u16string_view tail = name.substr(name.size() - suffix.size());
  for (size_t i = 0; i < suffix.size(); ++i) {
    const char16_t c = tail[i] >= u'A' && tail[i] <= u'Z' ? tail[i] + (u'a' - u'A') : tail[i];
    if (c != suffix[i]) return false;
  }
  return true;
}

size_t StreamSuffixSize(std::u16string_view name) {
  for (const std::u16string_view suffix : kStreamSuffixes)
    if (EndsWithFolded(name, suffix)) return suffix.size();
  return 0;
}

}  // namespace

CompressedKind CompressedKindOfName(std::u16string_view name) {
  for (const std::u16string_view suffix : kArchiveSuffixes)
    if (EndsWithFolded(name, suffix)) return CompressedKind::Archive;
  const size_t stream = StreamSuffixSize(name);
  if (stream == 0) return CompressedKind::None;
  return EndsWithFolded(name.substr(0, name.size() - stream), u".tar") ? CompressedKind::Archive
                                                                       : CompressedKind::Stream;
}

std::u16string_view StreamMemberName(std::u16string_view name) {
  return name.substr(0, name.size() - StreamSuffixSize(name));
}

}  // namespace trawlscope
