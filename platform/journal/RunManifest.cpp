#include "platform/journal/RunManifest.h"

#include <charconv>
#include <cstdio>

#include "platform/journal/ContentHash.h"
#include "platform/journal/RecordFields.h"

namespace trawlscope {
namespace {

using record::Fields;
using record::IsHash;
using record::ParseNumber;
using record::Unescaped;

constexpr std::string_view kHeader = "trawlscope-undo 1\n";
constexpr std::string_view kChecksumKey = "checksum\t";
constexpr size_t kHashDigits = 64;
constexpr size_t kOriginalDigits = 6;
constexpr std::string_view kOriginalSuffix = ".orig";
constexpr size_t kFileFields = 10;

std::optional<JournalEntry> ParseEntry(const std::vector<std::string_view>& fields) {
  if (fields.size() != kFileFields + 1) return std::nullopt;
  JournalEntry entry;
  auto path = Unescaped(fields[1]);
  if (!path || path->empty()) return std::nullopt;
  entry.path = std::move(*path);
  entry.originalName = std::string(fields[2]);
  std::int64_t seconds = 0, nanoseconds = 0;
  std::uint64_t device = 0, inode = 0;
  std::int64_t size = 0;
  if (!IsOriginalName(entry.originalName) || !ParseNumber(fields[3], entry.originalSize) || !IsHash(fields[4]) ||
      !ParseNumber(fields[5], device) || !ParseNumber(fields[6], inode) || !ParseNumber(fields[7], size) ||
      !ParseNumber(fields[8], seconds) || !ParseNumber(fields[9], nanoseconds) || !IsHash(fields[10]))
    return std::nullopt;
  entry.originalHash = std::string(fields[4]);
  entry.written.device = static_cast<dev_t>(device);
  entry.written.inode = static_cast<ino_t>(inode);
  entry.written.size = static_cast<off_t>(size);
  entry.written.modified.tv_sec = static_cast<time_t>(seconds);
  entry.written.modified.tv_nsec = static_cast<long>(nanoseconds);
  entry.writtenHash = std::string(fields[10]);
  return entry;
}

}  // namespace

bool IsOriginalName(std::string_view name) {
  return name.size() == kOriginalDigits + kOriginalSuffix.size() &&
         name.find_first_not_of("0123456789") == kOriginalDigits && name.substr(kOriginalDigits) == kOriginalSuffix;
}

std::string OriginalName(size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "%06zu", index);
  return name + std::string(kOriginalSuffix);
}

std::optional<RunManifest> ParseManifest(std::string_view bytes) {
  // The checksum line first: nothing of a damaged manifest is believed.
  const size_t checksumLine = bytes.rfind(kChecksumKey);
  if (checksumLine == std::string_view::npos || bytes.substr(0, kHeader.size()) != kHeader) return std::nullopt;
  const std::string_view body = bytes.substr(0, checksumLine);
  const std::string_view last = bytes.substr(checksumLine + kChecksumKey.size());
  if (last.size() != kHashDigits + 1 || last.back() != '\n' || last.substr(0, kHashDigits) != ContentHash(body))
    return std::nullopt;

  RunManifest manifest;
  bool ended = false;
  size_t start = kHeader.size();
  while (start < body.size()) {
    const size_t newline = body.find('\n', start);
    if (newline == std::string_view::npos || ended) return std::nullopt;
    const auto fields = Fields(body.substr(start, newline - start));
    start = newline + 1;
    const std::string_view key = fields[0];
    if (key == "file") {
      auto entry = ParseEntry(fields);
      if (!entry) return std::nullopt;
      manifest.files.push_back(std::move(*entry));
      continue;
    }
    if (fields.size() != 2) return std::nullopt;
    auto value = Unescaped(fields[1]);
    if (!value) return std::nullopt;
    RunDescription& run = manifest.description;
    if (key == "time") {
      if (!ParseNumber(fields[1], run.time)) return std::nullopt;
    } else if (key == "search") {
      run.searchText = std::move(*value);
    } else if (key == "replacement") {
      run.replacementText = std::move(*value);
    } else if (key == "command") {
      run.command = std::move(*value);
    } else if (key == "end") {
      size_t count = 0;
      if (!ParseNumber(fields[1], count) || count != manifest.files.size()) return std::nullopt;
      ended = true;
    }
    // Other keys are for later versions, and are passed over.
  }
  if (!ended) return std::nullopt;
  return manifest;
}

}  // namespace trawlscope
