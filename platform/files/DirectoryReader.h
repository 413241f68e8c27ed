#pragma once
// Reading one folder's entries, and what a path names, without opening any file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trawlscope {

enum class EntryKind {
  RegularFile,   // also a symbolic link to a regular file
  Folder,
  LinkToFolder,  // never entered while listing: link loops would hang or repeat a run
  Other,         // FIFO, socket, device, dangling link: reading one could hang a run
};

struct DirectoryEntry {
  std::string name;  // native bytes
  EntryKind kind;
};

// The entries of a folder ("." and ".." left out) in the order the file system
// gives them. False, with no entries, when the folder cannot be read.
bool ReadDirectory(const std::string& nativeFolder, std::vector<DirectoryEntry>& entries);

// A FIFO, socket or device is never opened: reading a FIFO waits for a
// writer, a device may never end.
enum class PathKind { Missing, RegularFile, Folder, Fifo, Socket, Device };

// What a path names, following symbolic links.
PathKind KindOfPath(const std::string& nativePath);

// A file's size on disk and when its content last changed (whole seconds
// since the epoch), following symbolic links.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modified = 0;
};

// Nothing when the path cannot be looked up.
std::optional<FileStamp> StampOfPath(const std::string& nativePath);

}  // namespace trawlscope
