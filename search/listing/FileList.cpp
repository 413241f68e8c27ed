#include "search/listing/FileList.h"

#include <algorithm>
#include <memory>

#include "platform/files/DirectoryReader.h"
#include "platform/files/NativePath.h"
#include "platform/files/SafeFileWriter.h"
#include "platform/ignore/IgnoreRules.h"
#include "search/listing/PathHelpers.h"
#include "search/listing/WildcardPattern.h"

namespace trawlscope {
namespace {

bool FitsPathLimit(const std::string& nativePath) {
  return nativePath.size() < kMaxNativePathBytes;
}

// A token that is not a folder is listed as written when something answers to
// it: the file itself, or for a name with "*" or "?" any entry of its folder.
// `kind` is what the token itself names.
bool TokenFindsSomething(std::u16string_view token, PathKind kind) {
  const std::u16string name = FileNameOf(token);
  if (!HasWildcard(name)) return kind == PathKind::RegularFile;

  const std::u16string folder = FolderOf(token);
  std::vector<DirectoryEntry> entries;
  ReadDirectory(folder.empty() ? std::string(".") : ToNativePath(folder), entries);
  const WildcardPattern pattern(name);
  return std::any_of(entries.begin(), entries.end(), [&](const DirectoryEntry& entry) {
    return pattern.Matches(FromNativeName(entry.name));
  });
}

PathKind KindOfToken(const std::string& nativeToken) {
  return FitsPathLimit(nativeToken) ? KindOfPath(nativeToken) : PathKind::Missing;
}

// A token that lists no file, as said to the user. A pattern that fits
// nothing names nothing, whatever its own name may be.
UnlistedPath Unlisted(const std::u16string& token, PathKind kind) {
  const bool named = kind != PathKind::RegularFile && !HasWildcard(FileNameOf(token));
  return {token, named ? kind : PathKind::Missing};
}

// The folders of version control: their files are its records, never the user's text.
bool IsVersionControlName(const std::string& name) {
  if (name.empty() || (name[0] != '.' && name[0] != 'C')) return false;
  return name == ".git" || name == ".svn" || name == ".hg" || name == ".bzr" || name == "CVS";
}

bool HoldsGitEntry(const std::vector<DirectoryEntry>& sorted) {
  return std::binary_search(sorted.begin(), sorted.end(), DirectoryEntry{".git", EntryKind::Folder},
                            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
}

// `absolute` ends in "/"; `nativeFolder` is the same path as the kernel sees
// it, carried along so that names read from disk are used as they are.
struct Listing {
  const AbortFlag& abortRequested;
  const OnFileListed& onFile;
  const BeforeFolderRead& beforeFolderRead;
  const OnLeftOut& onLeftOut;
  bool includeSubfolders;
  const TypePatterns& types;
  bool skipVersionControl;
  bool followGitignore;
  const AlsoListFile& alsoList;
  const FileBounds& bounds;
  bool bounded;  // bounds.Any(), asked once: without bounds no file is looked up
};

// Where in the tree a folder stands, for the rules that look above it.
struct FolderPlace {
  bool belowNamedFolder = false;  // a folder pattern that is not "!" fits it or one above it
  const IgnoreRules* ignore = nullptr;  // with followGitignore, the rules of its work tree
};

void TellLeftOut(const Listing& listing, LeftOut what) {
  if (listing.onLeftOut) listing.onLeftOut(what);
}

void CollectAbsoluteFolder(const Listing& listing, const std::u16string& absolute, const std::string& nativeFolder,
                           const FolderPlace& place) {
  std::vector<DirectoryEntry> entries;
  if (!FitsPathLimit(nativeFolder)) return;
  if (listing.beforeFolderRead) listing.beforeFolderRead();
  if (!ReadDirectory(nativeFolder, entries)) return;
  std::sort(entries.begin(), entries.end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });

  const bool filesListed = !listing.types.NamesFolders() || place.belowNamedFolder;
  // A repository inside the tree has rules of its own, from its top down.
  std::unique_ptr<IgnoreRules> ownRules;
  const IgnoreRules* ignore = place.ignore;
  if (listing.followGitignore && ignore != nullptr && HoldsGitEntry(entries)) {
    ownRules = IgnoreRules::For(nativeFolder, IgnoreRules::Find::FolderIsTop);
    if (ownRules) ignore = ownRules.get();
  }
  for (const DirectoryEntry& entry : entries) {
    // Left by a write that was killed: never the user's text, and never to be replaced.
    if (entry.kind == EntryKind::RegularFile && IsWritersTemporaryName(entry.name)) continue;
    const bool isFolder = entry.kind == EntryKind::Folder;
    const bool listable = entry.kind == EntryKind::RegularFile || (isFolder && listing.includeSubfolders);
    // Only a folder, or a file of the types, is asked about further: what
    // is left out is what would have been searched.
    if (listable && (isFolder || filesListed)) {
      std::u16string path;
      path.reserve(absolute.size() + entry.name.size() + 1);
      path += absolute;
      AppendNativeName(path, entry.name);
      const std::u16string_view name = std::u16string_view(path).substr(absolute.size());
      TypePatterns::Verdict verdict = isFolder ? (listing.types.ExcludesFolder(name) ? TypePatterns::Verdict::Excluded
                                                                                       : TypePatterns::Verdict::Listed)
                                               : listing.types.ForFile(name);
      if (verdict == TypePatterns::Verdict::NotOfTheTypes && entry.kind == EntryKind::RegularFile &&
          listing.alsoList && listing.alsoList(name))
        verdict = TypePatterns::Verdict::Listed;
      // A ".git" file links a work tree to its repository: left out as the folder is.
      if (verdict == TypePatterns::Verdict::Listed &&
          ((listing.skipVersionControl && IsVersionControlName(entry.name)) ||
           (ignore != nullptr && ignore->Ignores(nativeFolder + entry.name + (isFolder ? "/" : "")))))
        verdict = TypePatterns::Verdict::Excluded;
      // A file that cannot be looked up is listed, so that its search says what is wrong.
      if (verdict == TypePatterns::Verdict::Listed && !isFolder && listing.bounded) {
        const std::optional<FileStamp> stamp = StampOfPath(nativeFolder + entry.name);
        if (stamp && !listing.bounds.Admit(*stamp)) verdict = TypePatterns::Verdict::Excluded;
      }
      if (verdict == TypePatterns::Verdict::Excluded) {
        TellLeftOut(listing, isFolder ? LeftOut::Folder : LeftOut::File);
      } else if (verdict == TypePatterns::Verdict::NotOfTheTypes) {
        // Neither searched nor counted.
      } else if (isFolder) {
        // The patterns for files test file names: every subfolder is entered
        // unless a folder pattern or an option leaves it out.
        const FolderPlace inner{place.belowNamedFolder || listing.types.NamesFolder(name), ignore};
        path += u'/';
        CollectAbsoluteFolder(listing, path, nativeFolder + entry.name + '/', inner);
      } else if (nativeFolder.size() + entry.name.size() < kMaxNativePathBytes) {
        listing.onFile(std::move(path));
      }
    }
    if (IsAborted(listing.abortRequested)) return;
  }
}

}  // namespace

void ListFiles(const AbortFlag& abortRequested, std::u16string_view searchPath, const ListingRules& rules,
               const OnFileListed& onFile, std::vector<UnlistedPath>* unlisted,
               const BeforeFolderRead& beforeFolderRead, const OnLeftOut& onLeftOut) {
  const TypePatterns types(rules.fileTypes);
  const Listing listing{abortRequested,          onFile, beforeFolderRead,         onLeftOut,
                        rules.includeSubfolders, types,  rules.skipVersionControl, rules.followGitignore,
                        rules.alsoList,          rules.bounds, rules.bounds.Any()};
  for (const auto& token : SplitPathTokens(searchPath)) {
    if (IsAborted(abortRequested)) return;
    if (IsSpaceToken(token)) continue;
    const std::string nativeToken = ToNativePath(token);
    if (beforeFolderRead) beforeFolderRead();  // looking the token up may wait on the disk too
    const PathKind kind = KindOfToken(nativeToken);
    if (kind == PathKind::Folder) {
      const std::u16string absolute = AbsoluteFolder(token);
      const std::string nativeAbsolute = ToNativePath(absolute);
      // The rules of the repository the folder is in, from its top: those
      // of folders above the searched one apply too, as in git.
      const std::unique_ptr<IgnoreRules> rulesAbove =
          rules.followGitignore ? IgnoreRules::For(nativeAbsolute, IgnoreRules::Find::HoldingRepository) : nullptr;
      CollectAbsoluteFolder(listing, absolute, nativeAbsolute, FolderPlace{false, rulesAbove.get()});
    } else if (FitsPathLimit(nativeToken) && TokenFindsSomething(token, kind)) {
      onFile(token);
    } else if (unlisted != nullptr && token.find_first_not_of(u' ') != std::u16string::npos) {
      unlisted->push_back(Unlisted(token, kind));
    }
  }
}

std::vector<UnlistedPath> UnlistedPaths(std::u16string_view searchPath, size_t* entries) {
  std::vector<UnlistedPath> unlisted;
  size_t count = 0;
  for (const auto& token : SplitPathTokens(searchPath)) {
    if (IsSpaceToken(token) || token.find_first_not_of(u' ') == std::u16string::npos) continue;
    ++count;
    const std::string nativeToken = ToNativePath(token);
    const PathKind kind = KindOfToken(nativeToken);
    if (kind != PathKind::Folder && !(FitsPathLimit(nativeToken) && TokenFindsSomething(token, kind)))
      unlisted.push_back(Unlisted(token, kind));
  }
  if (entries != nullptr) *entries = count;
  return unlisted;
}

void ListFiles(const AbortFlag& abortRequested, std::u16string_view searchPath, bool includeSubfolders,
               std::u16string_view fileTypes, const OnFileListed& onFile,
               std::vector<UnlistedPath>* unlisted, const BeforeFolderRead& beforeFolderRead) {
  ListingRules rules;
  rules.includeSubfolders = includeSubfolders;
  rules.fileTypes = fileTypes;
  ListFiles(abortRequested, searchPath, rules, onFile, unlisted, beforeFolderRead);
}

void BuildFileList(const AbortFlag& abortRequested, std::u16string_view searchPath,
                   FileList& fileList, bool includeSubfolders, std::u16string_view fileTypes,
                   std::vector<UnlistedPath>* unlisted) {
  ListFiles(abortRequested, searchPath, includeSubfolders, fileTypes,
            [&](std::u16string path) { fileList.push_back(std::move(path)); }, unlisted);
}

}  // namespace trawlscope
