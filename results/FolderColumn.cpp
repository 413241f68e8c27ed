#include "results/FolderColumn.h"

#include <filesystem>

#include "platform/files/NativePath.h"
#include "search/listing/PathHelpers.h"

namespace trawlscope {

std::vector<std::u16string> SearchedFolders(const SearchRequest& request) {
  std::vector<std::u16string> roots;
  for (const std::u16string& token : SplitPathTokens(request.searchPath)) {
    if (token.empty() || IsSpaceToken(token)) continue;
    std::error_code error;
    const bool isFolder = std::filesystem::is_directory(ToNativePath(token), error);
    std::u16string folder = token;
    if (!isFolder) folder = folder.substr(0, folder.find_last_of(u'/') + 1);
    roots.push_back(AbsoluteFolder(folder.empty() ? u"." : folder));
  }
  return roots;
}

std::u16string RelativeFolder(std::u16string_view folder, const std::vector<std::u16string>& roots) {
  size_t best = 0;
  for (const std::u16string& root : roots)
    if (root.size() > best && folder.substr(0, root.size()) == root) best = root.size();
  std::u16string_view relative = folder.substr(best);
  if (!relative.empty() && relative.back() == u'/' && (best > 0 || relative.size() > 1)) relative.remove_suffix(1);
  return std::u16string(relative);
}

size_t HitsInFileOf(const HitList& hits, size_t index) {
  const HitFile* file = &hits[index].File();
  size_t first = index, end = index + 1;
  while (first > 0 && &hits[first - 1].File() == file) --first;
  while (end < hits.size() && &hits[end].File() == file) ++end;
  return end - first;
}

}  // namespace trawlscope
