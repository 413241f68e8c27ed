#include "app/UnsearchedFiles.h"

#include <algorithm>

#include "app/CountTexts.h"
#include "platform/files/NativePath.h"

namespace trawlscope {

UnsearchedFiles UnsearchedFilesOf(const FileList& list, const ProgressSnapshot& seen,
                                  const std::vector<std::u16string>& cutShort) {
  UnsearchedFiles files;
  const size_t from = std::min(seen.started, list.size());
  files.count = cutShort.size() + list.size() - from;
  for (size_t i = 0; i < cutShort.size() && files.first.size() < kUnsearchedNamed; ++i) files.first.push_back(cutShort[i]);
  for (size_t i = from; i < list.size() && files.first.size() < kUnsearchedNamed; ++i) files.first.push_back(list[i]);
  files.listingUnfinished = !seen.listingWhole;
  return files;
}

std::u16string PartialListWarning(const UnsearchedFiles& files) {
  std::u16string text =
      Words(TRAWLSCOPE_TEXT("RunReport", "This list is partial: its search was stopped, and only what it found is replaced."));
  if (files.count > 0) {
    text += u"\n";
    text += FillIn(Words(files.count > files.first.size()
                             ? TRAWLSCOPE_TEXT("RunReport", "Not searched: %1, the first of them:")
                             : TRAWLSCOPE_TEXT("RunReport", "Not searched: %1:")),
                   {FilesText(files.count)});
    for (const std::u16string& path : files.first) text += u"\n" + DisplayPath(path);
  }
  if (files.listingUnfinished)
    text += u"\n" + Words(TRAWLSCOPE_TEXT("RunReport", "Nor the files not yet listed when it stopped."));
  return text;
}

}  // namespace trawlscope
