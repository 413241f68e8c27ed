#pragma once
// The runs a journal folder keeps, as found on disk. A run is a folder with
// a record (or, kept by an earlier version, a manifest). A run whose record
// is locked is still going on, and is never offered for undo; one killed
// before its end is, once it has been settled.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"
#include "platform/journal/JournalFolder.h"
#include "platform/journal/RunManifest.h"

namespace trawlscope {

inline constexpr char kManifestName[] = "manifest";

struct KeptRun {
  std::string name;    // the run's folder name; names sort in the order the runs started
  std::string folder;  // native path of that folder
  std::optional<RunManifest> manifest;  // nothing when its record is damaged
  std::uint64_t bytes = 0;  // the originals it keeps (what the folder holds when damaged)
};

// The folder names of the runs not going on, newest first; reads none.
std::vector<std::string> KeptRunNames(const std::string& journalFolder, IFileOps& ops = SystemFileOps());

// One run of the journal by its folder name.
KeptRun ReadKeptRun(const std::string& journalFolder, const std::string& name, IFileOps& ops = SystemFileOps());

// The runs not going on, newest first, each read as ReadKeptRun reads it.
std::vector<KeptRun> ListKeptRuns(const std::string& journalFolder, IFileOps& ops = SystemFileOps());

// Whether every original the record names is there with its recorded size
// and hash. Reads them all.
bool OriginalsIntact(const KeptRun& run, IFileOps& ops = SystemFileOps());

// Writes the run's record anew holding `manifest` (an earlier version's
// manifest becomes a record); removes the run when it keeps no file.
Outcome<> RewriteRun(const KeptRun& run, const RunManifest& manifest, IFileOps& ops = SystemFileOps());

// Runs killed before their end: temporary files their writes left beside the
// files they were replacing are removed, and their records are ended; so are
// those an undo killed before its end left (UndoLog.h). The caller holds the
// JournalLock.
void SettleAbandonedRuns(const JournalPlace& place, IFileOps& ops = SystemFileOps());

// Drops the oldest runs until at most place.maxRuns are kept holding at most
// place.maxBytes of originals, and folders that never became runs once they
// are a day old. The caller holds the JournalLock.
void PruneRuns(const JournalPlace& place, IFileOps& ops = SystemFileOps());

// Done when it is gone, or was not there.
Outcome<> RemoveRunFolder(const std::string& folder, IFileOps& ops = SystemFileOps());

}  // namespace trawlscope
