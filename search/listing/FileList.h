#pragma once
// Turning the Search path and File types of a request into the ordered list of
// files a run processes. Runs on the worker thread; polls the abort flag
// before each token and after each folder entry.
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "search/AbortFlag.h"
#include "search/listing/WildcardPattern.h"

namespace trawlscope {

// Whether a file whose name the type pattern does not take is listed all the same.
using AlsoListFile = std::function<bool(std::u16string_view fileName)>;

// A deque: a path keeps its address while later ones are appended, so that
// a run's searchers can work on it as the listing goes on.
using FileList = std::deque<std::u16string>;

// Linux's own limit on a path handed to the kernel; longer ones cannot be opened.
constexpr size_t kMaxNativePathBytes = 4096;

using OnFileListed = std::function<void(std::u16string path)>;
// Called before each folder is read, which may take a while on a slow disk:
// a caller that hands files on in batches hands over what it holds.
using BeforeFolderRead = std::function<void()>;

// Hands each file the Search path and type pattern name to `onFile`, in list
// order, as soon as it is found. A folder named in the path is listed at its
// top level whatever `includeSubfolders` says, each of its entries in byte
// order of their names and each subfolder listed whole before the next entry
// (the pattern tests file names, never folder names); a file named there is listed as written,
// without the type test. Entries of the path that name nothing go to
// `notFound` when it is given. A file `alsoList` takes is listed whatever
// its name (a compressed file whose members the pattern may take).
void ListFiles(const AbortFlag& abortRequested, std::u16string_view searchPath, bool includeSubfolders,
               std::u16string_view fileTypes, const OnFileListed& onFile,
               std::vector<std::u16string>* notFound = nullptr, const BeforeFolderRead& beforeFolderRead = {},
               const AlsoListFile& alsoList = {});

// The same, appended to `fileList`, which the caller has emptied.
void BuildFileList(const AbortFlag& abortRequested, std::u16string_view searchPath,
                   FileList& fileList, bool includeSubfolders, std::u16string_view fileTypes,
                   std::vector<std::u16string>* notFound = nullptr);

}  // namespace trawlscope
