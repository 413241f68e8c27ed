#pragma once
// Turning the Search path and File types of a request into the ordered list of
// files a run processes. Runs on the worker thread; polls the abort flag
// before each token and after each folder entry.
#include <string>
#include <string_view>
#include <vector>

#include "search/AbortFlag.h"
#include "search/listing/WildcardPattern.h"

namespace trawlscope {

using FileList = std::vector<std::u16string>;

// Linux's own limit on a path handed to the kernel; longer ones cannot be opened.
constexpr size_t kMaxNativePathBytes = 4096;

// Appends to `fileList`, which the caller has emptied. A folder named in the
// path is listed at its top level whatever `includeSubfolders` says; a file
// named there is listed as written, without the type test. Entries of the
// path that name nothing go to `notFound` when it is given.
void BuildFileList(const AbortFlag& abortRequested, std::u16string_view searchPath,
                   FileList& fileList, bool includeSubfolders, std::u16string_view fileTypes,
                   std::vector<std::u16string>* notFound = nullptr);

// Lists one folder: its entries in byte order of their names, each subfolder
// whose name fits the pattern listed whole before the next entry.
void CollectFolder(const AbortFlag& abortRequested, FileList& fileList, bool includeSubfolders,
                   std::u16string_view folder, const WildcardPattern& fileTypes, bool topLevel);

}  // namespace trawlscope
