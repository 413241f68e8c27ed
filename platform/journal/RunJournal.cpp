#include "platform/journal/RunJournal.h"

#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/files/SafeFileWriter.h"
#include "platform/journal/ContentHash.h"
#include "platform/journal/JournalLock.h"
#include "platform/journal/KeptRuns.h"

namespace trawlscope {
namespace {

// Names sort in the order runs started: the time to the nanosecond, then
// the process, which two runs at the same moment cannot share.
std::string NewRunName() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm utc{};
  gmtime_r(&now.tv_sec, &utc);
  char name[64];
  std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d.%09ld-%ld", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, now.tv_nsec, static_cast<long>(getpid()));
  return name;
}

// The journal names files by absolute paths, so that an undo from another
// folder finds them.
std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char here[PATH_MAX];
  if (getcwd(here, sizeof here) == nullptr) return path;
  return std::string(here) + "/" + path;
}

}  // namespace

RunJournal::RunJournal(JournalPlace place, RunDescription description, IFileOps& ops)
    : place_(std::move(place)), description_(std::move(description)), ops_(ops) {}

RunJournal::~RunJournal() {
  if (folderMade_ && !finished_) RemoveRunFolder(runFolder_);
}

bool RunJournal::StartFolder(FileError& error) {
  if (folderMade_) return true;
  runName_ = NewRunName();
  runFolder_ = place_.folder + "/" + runName_;
  if (!MakePrivateFolder(place_.folder) || !MakePrivateFolder(runFolder_)) {
    error = FileError::System(FileStep::CreateTemporary, errno);
    return false;
  }
  folderMade_ = true;
  return true;
}

KeptOriginal RunJournal::Keep(size_t order, const std::string& nativePath, std::string_view original) {
  KeptOriginal kept;
  size_t ticket = 0;
  std::string file;
  {
    std::lock_guard lock(mutex_);
    if (givenUp_ || finished_) return kept;
    if (keptBytes_ + original.size() > place_.maxBytes) {
      // The run goes on without a journal: what it kept so far is no use.
      givenUp_ = true;
      if (folderMade_) RemoveRunFolder(runFolder_);
      folderMade_ = false;
      entries_.clear();
      return kept;
    }
    if (!StartFolder(kept.error)) {
      kept.kind = KeptOriginal::Kind::Failed;
      return kept;
    }
    keptBytes_ += original.size();
    ticket = entries_.size();
    Entry& entry = entries_.emplace_back();
    entry.order = order;
    entry.record.path = AbsolutePath(nativePath);
    entry.record.originalName = OriginalName(ticket);
    entry.record.originalSize = original.size();
    file = runFolder_ + "/" + entry.record.originalName;
  }
  // Written outside the lock: several files' originals may go to disk at once.
  const std::string hash = ContentHash(original);
  const WriteResult result = WriteWholeFile(file, original, ops_);
  std::lock_guard lock(mutex_);
  if (givenUp_) return kept;
  if (!result.written) {
    entries_[ticket].discarded = true;
    keptBytes_ -= original.size();
    kept.kind = KeptOriginal::Kind::Failed;
    kept.error = result.error;
    return kept;
  }
  entries_[ticket].record.originalHash = hash;
  kept.kind = KeptOriginal::Kind::Kept;
  kept.ticket = ticket;
  return kept;
}

void RunJournal::Written(size_t ticket, const FileIdentity& placed, std::string_view written) {
  const std::string hash = ContentHash(written);
  std::lock_guard lock(mutex_);
  if (givenUp_ || ticket >= entries_.size()) return;
  Entry& entry = entries_[ticket];
  entry.written = true;
  entry.record.written = placed;
  entry.record.writtenHash = hash;
}

void RunJournal::Discard(size_t ticket) {
  std::string file;
  {
    std::lock_guard lock(mutex_);
    if (givenUp_ || ticket >= entries_.size()) return;
    entries_[ticket].discarded = true;
    keptBytes_ -= entries_[ticket].record.originalSize;
    file = runFolder_ + "/" + entries_[ticket].record.originalName;
  }
  ops_.Unlink(file.c_str());
}

JournalEnd RunJournal::Finish() {
  std::lock_guard lock(mutex_);
  JournalEnd end;
  finished_ = true;
  if (givenUp_) {
    end.kind = JournalEnd::Kind::TooLarge;
    return end;
  }
  RunManifest manifest;
  manifest.description = description_;
  std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.order < b.order; });
  for (const Entry& entry : entries_) {
    if (entry.written && !entry.discarded) {
      manifest.files.push_back(entry.record);
      end.bytes += entry.record.originalSize;
    } else if (!entry.discarded) {
      ops_.Unlink((runFolder_ + "/" + entry.record.originalName).c_str());
    }
  }
  if (manifest.files.empty()) {
    if (folderMade_) RemoveRunFolder(runFolder_);
    end.kind = JournalEnd::Kind::NothingKept;
    return end;
  }
  const JournalLock journalLock(place_.folder);
  const WriteResult written = WriteWholeFile(runFolder_ + "/" + kManifestName, ManifestBytes(manifest), ops_);
  if (!written.written) {
    RemoveRunFolder(runFolder_);
    end.kind = JournalEnd::Kind::Failed;
    end.error = written.error;
    return end;
  }
  PruneRuns(place_);
  end.kind = JournalEnd::Kind::Kept;
  end.runName = runName_;
  end.files = manifest.files.size();
  return end;
}

}  // namespace trawlscope
