#include "platform/journal/JournalFolder.h"

#include <stdlib.h>

#include <algorithm>

#include "platform/files/NativePath.h"

namespace trawlscope {

std::string UndoJournalFolder(const char* xdgStateHome, const char* home) {
  if (xdgStateHome != nullptr && xdgStateHome[0] == '/') return std::string(xdgStateHome) + "/trawlscope/undo";
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.local/state/trawlscope/undo";
}

std::string CurrentUndoJournalFolder() { return UndoJournalFolder(getenv("XDG_STATE_HOME"), getenv("HOME")); }

JournalRoom RoomForOriginals(const JournalPlace& place, std::uint64_t originalBytes, IFileOps& ops) {
  JournalRoom room;
  room.needed = originalBytes;
  room.limit = place.maxRuns > 0 ? place.maxBytes : 0;
  if (!place.folder.empty() && room.limit > 0) {
    room.folder = MakePrivateFolder(place.folder, ops);
    if (!room.folder) return room;
  }
  // The journal folder may not exist yet: its nearest existing parent is on the same disk.
  std::string folder = place.folder;
  struct statvfs disk;
  while (!folder.empty() && ops.FileSystemStats(folder.c_str(), &disk) != 0) {
    const std::string parent = NativeFolderOf(folder);
    if (parent == folder) break;
    folder = parent;
  }
  if (!folder.empty() && ops.FileSystemStats(folder.c_str(), &disk) == 0)
    room.available = static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize;
  room.fits = !place.folder.empty() && originalBytes <= room.limit && originalBytes <= room.available;
  return room;
}

}  // namespace trawlscope
