#pragma once
// Turning the Search path and File types of a request into the ordered list of
// files a run processes. Runs on the worker thread; polls the abort flag
// before each token and after each folder entry.
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/DirectoryReader.h"
#include "search/AbortFlag.h"
#include "search/listing/FileBounds.h"
#include "search/listing/TypePatterns.h"

namespace trawlscope {

// A deque: a path keeps its address while later ones are appended, so that
// a run's searchers can work on it as the listing goes on.
using FileList = std::deque<std::u16string>;

// Linux's own limit on a path handed to the kernel; longer ones cannot be opened.
constexpr size_t kMaxNativePathBytes = 4096;

using OnFileListed = std::function<void(std::u16string path)>;
// Called before each folder is read, which may take a while on a slow disk:
// a caller that hands files on in batches hands over what it holds.
using BeforeFolderRead = std::function<void()>;

// Whether a file whose name the type patterns do not take is listed all the same.
using AlsoListFile = std::function<bool(std::u16string_view fileName)>;

// What leaves files and folders out of a listing.
struct ListingRules {
  bool includeSubfolders = false;
  std::u16string_view fileTypes;  // see TypePatterns
  bool skipVersionControl = false;  // .git, .svn, .hg, .bzr and CVS are not entered
  bool followGitignore = false;     // what git's ignore rules ignore is left out
  // A file found in a folder outside these is left out; only when some bound
  // is set does the listing look up each file's size and time.
  FileBounds bounds;
  // A file this takes is listed whatever its name, unless a "!" pattern
  // leaves it out (a compressed file whose members the patterns may take).
  AlsoListFile alsoList;
};

// A Search path entry that lists no file, and what it names: nothing
// (Missing), or a FIFO, socket or device, which is never opened.
struct UnlistedPath {
  std::u16string path;
  PathKind kind = PathKind::Missing;
  bool operator==(const UnlistedPath&) const = default;
};

// Told of each file of the types that a "!" pattern or a rule leaves out, and
// of each folder left out (its files never looked at), so that an empty
// result can say why.
enum class LeftOut : unsigned char { File, Folder };
using OnLeftOut = std::function<void(LeftOut)>;

// Hands each file the Search path and type patterns name to `onFile`, in list
// order, as soon as it is found. A folder named in the path is listed at its
// top level whatever `includeSubfolders` says, each of its entries in byte
// order of their names and each subfolder that no folder pattern or rule
// leaves out listed whole before the next entry (the patterns for files
// test file names only); a file named there is listed as written, without
// the type test or the rules. Entries of the path that list no file go to
// `unlisted` when it is given. The old form lists without the rules.
void ListFiles(const AbortFlag& abortRequested, std::u16string_view searchPath, const ListingRules& rules,
               const OnFileListed& onFile, std::vector<UnlistedPath>* unlisted = nullptr,
               const BeforeFolderRead& beforeFolderRead = {}, const OnLeftOut& onLeftOut = {});
void ListFiles(const AbortFlag& abortRequested, std::u16string_view searchPath, bool includeSubfolders,
               std::u16string_view fileTypes, const OnFileListed& onFile,
               std::vector<UnlistedPath>* unlisted = nullptr, const BeforeFolderRead& beforeFolderRead = {});

// The entries of the Search path that ListFiles would put in `unlisted`, found
// without listing any folder, so that a run can be refused before it starts;
// `entries` gets the number of entries the path holds.
std::vector<UnlistedPath> UnlistedPaths(std::u16string_view searchPath, size_t* entries = nullptr);

// The same, appended to `fileList`, which the caller has emptied.
void BuildFileList(const AbortFlag& abortRequested, std::u16string_view searchPath,
                   FileList& fileList, bool includeSubfolders, std::u16string_view fileTypes,
                   std::vector<UnlistedPath>* unlisted = nullptr);

}  // namespace trawlscope
