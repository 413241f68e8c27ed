#pragma once
// The runs a journal folder keeps, as found on disk. A run is a folder with
// a manifest; a folder without one is a run still going on or one that
// never finished, and is never offered for undo.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/journal/JournalFolder.h"
#include "platform/journal/RunManifest.h"

namespace trawlscope {

inline constexpr char kManifestName[] = "manifest";

struct KeptRun {
  std::string name;    // the run's folder name; names sort in the order the runs started
  std::string folder;  // native path of that folder
  std::optional<RunManifest> manifest;  // nothing when the manifest is damaged
  std::uint64_t bytes = 0;              // what the folder holds on disk
};

// The folder names of the runs with a manifest, newest first; reads none.
std::vector<std::string> KeptRunNames(const std::string& journalFolder);

// One run of the journal by its folder name: its manifest and its size on disk.
KeptRun ReadKeptRun(const std::string& journalFolder, const std::string& name);

// The runs with a manifest, newest first, each read as ReadKeptRun reads it.
std::vector<KeptRun> ListKeptRuns(const std::string& journalFolder);

// Whether every original the manifest names is there with its recorded size
// and hash. Reads them all.
bool OriginalsIntact(const KeptRun& run);

// Drops the oldest runs until at most place.maxRuns are kept holding at most
// place.maxBytes, and folders of runs that never finished once they are a
// day old. The caller holds the JournalLock.
void PruneRuns(const JournalPlace& place);

bool RemoveRunFolder(const std::string& folder);

}  // namespace trawlscope
