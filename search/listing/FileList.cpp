#include "search/listing/FileList.h"

#include <algorithm>

#include "platform/files/DirectoryReader.h"
#include "platform/files/NativePath.h"
#include "platform/files/SafeFileWriter.h"
#include "search/listing/PathHelpers.h"

namespace trawlscope {
namespace {

bool FitsPathLimit(const std::string& nativePath) {
  return nativePath.size() < kMaxNativePathBytes;
}

// A token that is not a folder is listed as written when something answers to
// it: the file itself, or for a name with "*" or "?" any entry of its folder.
bool TokenFindsSomething(std::u16string_view token, const std::string& nativeToken) {
  const std::u16string name = FileNameOf(token);
  if (!HasWildcard(name)) return KindOfPath(nativeToken) == PathKind::RegularFile;

  const std::u16string folder = FolderOf(token);
  std::vector<DirectoryEntry> entries;
  ReadDirectory(folder.empty() ? std::string(".") : ToNativePath(folder), entries);
  const WildcardPattern pattern(name);
  return std::any_of(entries.begin(), entries.end(), [&](const DirectoryEntry& entry) {
    return pattern.Matches(FromNativeName(entry.name));
  });
}

// `absolute` ends in "/"; `nativeFolder` is the same path as the kernel sees
// it, carried along so that names read from disk are used as they are.
struct Listing {
  const AbortFlag& abortRequested;
  const OnFileListed& onFile;
  const BeforeFolderRead& beforeFolderRead;
  bool includeSubfolders;
  const WildcardPattern& fileTypes;
  const AlsoListFile& alsoList;
};

void CollectAbsoluteFolder(const Listing& listing, const std::u16string& absolute, const std::string& nativeFolder) {
  std::vector<DirectoryEntry> entries;
  if (!FitsPathLimit(nativeFolder)) return;
  if (listing.beforeFolderRead) listing.beforeFolderRead();
  if (!ReadDirectory(nativeFolder, entries)) return;
  std::sort(entries.begin(), entries.end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });

  for (const DirectoryEntry& entry : entries) {
    // Left by a write that was killed: never the user's text, and never to be replaced.
    if (entry.kind == EntryKind::RegularFile && IsWritersTemporaryName(entry.name)) continue;
    const bool listable = entry.kind == EntryKind::RegularFile ||
                          (entry.kind == EntryKind::Folder && listing.includeSubfolders);
    if (listable) {
      std::u16string path;
      path.reserve(absolute.size() + entry.name.size() + 1);
      path += absolute;
      AppendNativeName(path, entry.name);
      // The pattern names files: every subfolder is entered, whatever its name.
      if (entry.kind == EntryKind::Folder) {
        path += u'/';
        CollectAbsoluteFolder(listing, path, nativeFolder + entry.name + '/');
      } else if (nativeFolder.size() + entry.name.size() < kMaxNativePathBytes) {
        const std::u16string_view name = std::u16string_view(path).substr(absolute.size());
        if (listing.fileTypes.Matches(name) ||
            (entry.kind == EntryKind::RegularFile && listing.alsoList && listing.alsoList(name)))
          listing.onFile(std::move(path));
      }
    }
    if (IsAborted(listing.abortRequested)) return;
  }
}

}  // namespace

void ListFiles(const AbortFlag& abortRequested, std::u16string_view searchPath, bool includeSubfolders,
               std::u16string_view fileTypes, const OnFileListed& onFile,
               std::vector<std::u16string>* notFound, const BeforeFolderRead& beforeFolderRead,
               const AlsoListFile& alsoList) {
  const WildcardPattern pattern(fileTypes);
  const Listing listing{abortRequested, onFile, beforeFolderRead, includeSubfolders, pattern, alsoList};
  for (const auto& token : SplitPathTokens(searchPath)) {
    if (IsAborted(abortRequested)) return;
    if (IsSpaceToken(token)) continue;
    const std::string nativeToken = ToNativePath(token);
    if (beforeFolderRead) beforeFolderRead();  // looking the token up may wait on the disk too
    if (FitsPathLimit(nativeToken) && KindOfPath(nativeToken) == PathKind::Folder) {
      const std::u16string absolute = AbsoluteFolder(token);
      CollectAbsoluteFolder(listing, absolute, ToNativePath(absolute));
    } else if (FitsPathLimit(nativeToken) && TokenFindsSomething(token, nativeToken)) {
      onFile(token);
    } else if (notFound != nullptr && token.find_first_not_of(u' ') != std::u16string::npos) {
      notFound->push_back(token);
    }
  }
}

void BuildFileList(const AbortFlag& abortRequested, std::u16string_view searchPath,
                   FileList& fileList, bool includeSubfolders, std::u16string_view fileTypes,
                   std::vector<std::u16string>* notFound) {
  ListFiles(abortRequested, searchPath, includeSubfolders, fileTypes,
            [&](std::u16string path) { fileList.push_back(std::move(path)); }, notFound);
}

}  // namespace trawlscope
