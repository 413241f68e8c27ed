#include "search/review/HitSelection.h"

#include <sys/stat.h>

#include <algorithm>
#include <unordered_map>

#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

std::uint64_t SizeOnDisk(const std::u16string& path) {
  struct stat info;
  return stat(ToNativePath(path).c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

std::uint64_t SizeOf(const HitFile& file) {
  return file.hasIdentity ? static_cast<std::uint64_t>(file.identity.size) : SizeOnDisk(file.folder + file.fileName);
}

}  // namespace

HitSelection SelectionOfHits(const HitPicks& hits) {
  HitSelection selection;
  std::unordered_map<const HitFile*, size_t> indexOf;
  for (const Hit& hit : hits) {
    const HitFile& file = hit.File();
    auto [place, added] = indexOf.try_emplace(&file, selection.files.size());
    if (added) {
      SelectedFile& selected = selection.files.emplace_back();
      selected.path = hit.FullPath();
      if (file.hasIdentity) selected.searched = file.identity;
    }
    selection.files[place->second].occurrences.push_back({hit.position, hit.length, hit.Keyword()});
  }
  for (SelectedFile& file : selection.files) {
    auto& occurrences = file.occurrences;
    const auto byPlace = [](const SelectedOccurrence& a, const SelectedOccurrence& b) {
      return a.position != b.position ? a.position < b.position : a.length < b.length;
    };
    std::sort(occurrences.begin(), occurrences.end(), byPlace);
    occurrences.erase(std::unique(occurrences.begin(), occurrences.end(),
                                  [](const SelectedOccurrence& a, const SelectedOccurrence& b) {
                                    return a.position == b.position && a.length == b.length;
                                  }),
                      occurrences.end());
  }
  return selection;
}

std::uint64_t SelectedFileBytes(const HitSelection& selection) {
  std::uint64_t total = 0;
  for (const SelectedFile& file : selection.files)
    total += file.searched ? static_cast<std::uint64_t>(file.searched->size) : SizeOnDisk(file.path);
  return total;
}

std::uint64_t HitFileBytes(const HitList& hits) {
  // A file's hits stand together in the list: each file is counted at its first.
  std::uint64_t total = 0;
  const HitFile* previous = nullptr;
  for (const Hit& hit : hits) {
    if (&hit.File() != previous) total += SizeOf(hit.File());
    previous = &hit.File();
  }
  return total;
}

}  // namespace trawlscope
