#include "platform/journal/RunLog.h"

#include <algorithm>

#include "platform/journal/ContentHash.h"
#include "platform/journal/RecordFields.h"

namespace trawlscope {
namespace {

using record::Escaped;
using record::Unescaped;

constexpr std::string_view kMagic = "trawlscope-run";
constexpr std::string_view kVersion = "1";
constexpr size_t kKeepFields = 6;

std::string Line(const std::string& body) { return record::CheckedLine(body); }

std::optional<JournalEntry> ParseKeep(const std::vector<std::string_view>& fields) {
  if (fields.size() != kKeepFields) return std::nullopt;
  JournalEntry entry;
  auto path = Unescaped(fields[1]);
  if (!path || path->empty()) return std::nullopt;
  entry.path = std::move(*path);
  entry.originalName = std::string(fields[2]);
  if (!IsOriginalName(entry.originalName) || !record::ParseNumber(fields[3], entry.originalSize) ||
      !record::IsHash(fields[4]) || !record::IsHash(fields[5]))
    return std::nullopt;
  entry.originalHash = std::string(fields[4]);
  entry.writtenHash = std::string(fields[5]);
  return entry;
}

// One line's fact added to `run`; false when it makes no sense there.
bool Apply(const std::vector<std::string_view>& fields, RunManifest& run) {
  const std::string_view key = fields[0];
  if (key == "keep") {
    auto entry = ParseKeep(fields);
    if (!entry) return false;
    run.files.push_back(std::move(*entry));
    return true;
  }
  if (key == "drop") {
    if (fields.size() != 2) return false;
    const auto kept = std::find_if(run.files.begin(), run.files.end(),
                                   [&](const JournalEntry& file) { return file.originalName == fields[1]; });
    if (kept != run.files.end()) run.files.erase(kept);
    return true;
  }
  if (key == "end") {
    run.finished = true;
    return true;
  }
  if (fields.size() != 2) return true;  // a later version's fact: passed over
  auto value = Unescaped(fields[1]);
  if (!value) return false;
  RunDescription& description = run.description;
  if (key == "time") return record::ParseNumber(fields[1], description.time);
  if (key == "search") description.searchText = std::move(*value);
  if (key == "replacement") description.replacementText = std::move(*value);
  if (key == "command") description.command = std::move(*value);
  return true;
}

}  // namespace

std::string RunLogHeader(const RunDescription& description) {
  return Line(std::string(kMagic) + "\t" + std::string(kVersion)) +
         Line("time\t" + std::to_string(description.time)) +
         Line("search\t" + Escaped(description.searchText)) +
         Line("replacement\t" + Escaped(description.replacementText)) +
         Line("command\t" + Escaped(description.command));
}

std::string KeepLine(const JournalEntry& entry) {
  return Line("keep\t" + Escaped(entry.path) + "\t" + entry.originalName + "\t" +
              std::to_string(entry.originalSize) + "\t" + entry.originalHash + "\t" + entry.writtenHash);
}

std::string DropLine(std::string_view originalName) { return Line("drop\t" + std::string(originalName)); }

std::string EndLine() { return Line("end"); }

std::string RunLogBytes(const RunManifest& manifest) {
  std::string bytes = RunLogHeader(manifest.description);
  for (const JournalEntry& file : manifest.files) bytes += KeepLine(file);
  if (manifest.finished) bytes += EndLine();
  return bytes;
}

std::optional<RunManifest> ParseRunLog(std::string_view bytes) {
  RunManifest run;
  run.finished = false;
  bool opened = false;
  for (size_t start = 0; start < bytes.size();) {
    const size_t newline = bytes.find('\n', start);
    if (newline == std::string_view::npos) break;  // cut short as it was written
    const auto body = record::CheckedBody(bytes.substr(start, newline - start));
    start = newline + 1;
    if (!body) return std::nullopt;
    const auto fields = record::Fields(*body);
    if (!opened) {
      if (fields.size() != 2 || fields[0] != kMagic || fields[1] != kVersion) return std::nullopt;
      opened = true;
      continue;
    }
    if (run.finished || !Apply(fields, run)) return std::nullopt;
  }
  if (!opened) return std::nullopt;
  return run;
}

}  // namespace trawlscope
