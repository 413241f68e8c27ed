#pragma once
// Where the undo journal lives and how much it keeps: the runs of the last
// replaces, each in a folder of its own under one journal folder.
#include <cstdint>
#include <string>

#include "platform/journal/PrivateFolder.h"

namespace trawlscope {

inline constexpr int kDefaultKeptRuns = 10;
inline constexpr int kDefaultJournalMegabytes = 2048;
inline constexpr std::uint64_t kMegabyte = 1024 * 1024;

struct JournalPlace {
  std::string folder;  // native; holds one folder per run
  int maxRuns = kDefaultKeptRuns;
  std::uint64_t maxBytes = kDefaultJournalMegabytes * kMegabyte;  // the originals of all kept runs
};

// $XDG_STATE_HOME/trawlscope/undo, or ~/.local/state/trawlscope/undo when
// the variable is unset or not an absolute path (as the XDG rules say).
// Empty when neither it nor `home` gives a place.
std::string UndoJournalFolder(const char* xdgStateHome, const char* home);

// The same from this process's environment.
std::string CurrentUndoJournalFolder();

// Whether a run whose changed files hold `originalBytes` in all can keep
// them: in a folder that is the user's own and closed to others (made when
// missing), within the journal's limit (older runs make room) and the free
// space of the disk it is on.
struct JournalRoom {
  bool fits = false;
  FolderCheck folder;  // when not Private, nothing else was weighed
  std::uint64_t needed = 0;
  std::uint64_t limit = 0;      // the journal's own limit
  std::uint64_t available = 0;  // free on its disk (or the nearest folder that exists)
};
JournalRoom RoomForOriginals(const JournalPlace& place, std::uint64_t originalBytes,
                             IFileOps& ops = SystemFileOps());

}  // namespace trawlscope
