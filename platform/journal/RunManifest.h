#pragma once
// What a run's journal records: what the run was, and for every file it may
// have changed where its original bytes are kept and what the run wrote in
// its place. Runs record this as they go (RunLog.h); journals kept by earlier
// versions hold it as a manifest written at the run's end, whose last line is
// a checksum of everything before it, so a manifest cut short or damaged is
// never taken for a run. Both are read; only the run record is written.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/FileIdentity.h"

namespace trawlscope {

// What a run was, for listing the kept runs (UTF-8 texts).
struct RunDescription {
  std::int64_t time = 0;  // seconds since the epoch, when the run started
  std::string searchText;
  std::string replacementText;
  std::string command;  // the batch tool's command line; empty for the desktop program
};

struct JournalEntry {
  std::string path;          // native bytes, as the run named the file
  std::string originalName;  // the file in the run's folder holding the original bytes
  std::uint64_t originalSize = 0;
  std::string originalHash;  // ContentHash of the original bytes
  FileIdentity written;      // manifests only: the file as the run left it (device, inode, size, time)
  std::string writtenHash;   // ContentHash of what the run wrote (or was about to write)
};

struct RunManifest {
  RunDescription description;
  std::vector<JournalEntry> files;  // in the order the run replaced them
  bool finished = true;             // false: the run was killed or lost power before its end
};

// The manifest, or nothing when the bytes are cut short, damaged or not a
// manifest at all.
std::optional<RunManifest> ParseManifest(std::string_view bytes);

// Only names the journal itself gives its originals ("000001.orig"): a
// manifest never sends a restore outside its run's folder.
bool IsOriginalName(std::string_view name);
std::string OriginalName(size_t index);

}  // namespace trawlscope
