#pragma once
// What a stopped search left unsearched, kept with its list: a replace of
// that list changes only what was found, and its question says so.
#include <cstddef>
#include <string>
#include <vector>

#include "search/listing/FileList.h"
#include "search/run/RunProgress.h"

namespace trawlscope {

// Files the question names before it gives only their count.
inline constexpr size_t kUnsearchedNamed = 3;

struct UnsearchedFiles {
  size_t count = 0;                   // listed files it did not finish
  std::vector<std::u16string> first;  // the first kUnsearchedNamed of them
  bool listingUnfinished = false;     // and more that were never listed
};

// From the run's list, how far it had come when it stopped and the files it cut short.
UnsearchedFiles UnsearchedFilesOf(const FileList& list, const ProgressSnapshot& seen,
                                  const std::vector<std::u16string>& cutShort);

// For the question before a replace: that the list is partial, and the files left out.
std::u16string PartialListWarning(const UnsearchedFiles& files);

}  // namespace trawlscope
