#pragma once
// A run's record as it grows. Before a file is replaced, the line that names
// its kept original and the hash of what will be written is on disk; a file
// left as it was gets a line that drops its original; the run's end gets a
// line of its own. Each line carries its own checksum, so a run killed or cut
// off by a power failure leaves a record that still undoes every file it
// changed, and a line half written by that failure is told from damage.
#include <optional>
#include <string>
#include <string_view>

#include "platform/journal/RunManifest.h"

namespace trawlscope {

inline constexpr char kRunLogName[] = "log";

// The lines that open a run's record.
std::string RunLogHeader(const RunDescription& description);
// The file at `entry.path` is about to be replaced.
std::string KeepLine(const JournalEntry& entry);
// The file kept as `originalName` was left as it was, or put back.
std::string DropLine(std::string_view originalName);
std::string EndLine();

// A whole record holding `manifest`'s files, ended as `manifest.finished` says.
std::string RunLogBytes(const RunManifest& manifest);

// The run the record holds: its files kept and not dropped, in the order
// they were kept. Nothing when any whole line is damaged; a last line cut
// short (no line break) is a write the run did not live to finish, and is
// passed over.
std::optional<RunManifest> ParseRunLog(std::string_view bytes);

}  // namespace trawlscope
