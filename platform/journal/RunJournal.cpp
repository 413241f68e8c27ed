#include "platform/journal/RunJournal.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/files/SafeFileWriter.h"
#include "platform/files/SystemCalls.h"
#include "platform/journal/ContentHash.h"
#include "platform/journal/JournalLock.h"
#include "platform/journal/KeptRuns.h"
#include "platform/journal/PrivateFolder.h"
#include "platform/journal/RunLog.h"

namespace trawlscope {
namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kPrivateFileMode = 0600;

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
  // A run that ends here without Finish (an exception) stays undoable as a
  // killed one would; a record that names no original is of no use.
  const bool keptAny = !entries_.empty();
  CloseRecord();
  if (!runFolder_.empty() && !keptAny && !finished_) static_cast<void>(RemoveRunFolder(runFolder_, ops_));
}

void RunJournal::CloseRecord() {
  record_.Close();  // closing releases the run's lock
}

Outcome<> RunJournal::StartRecord() {
  if (record_.Valid()) return Done();
  if (recordBroken_ || !runFolder_.empty()) return FileError::System(FileStep::CreateTemporary, EIO);
  if (const FolderCheck folder = MakePrivateFolder(place_.folder, ops_); !folder)
    return FileError::System(FileStep::MakeFolder, folder.error != 0 ? folder.error : EPERM);
  {
    // Runs killed before they ended are settled first: their temporary files
    // go, and their records are closed.
    const JournalLock lock(place_.folder, ops_);
    SettleAbandonedRuns(place_, ops_);
  }
  runName_ = NewRunName();
  const std::string folder = place_.folder + "/" + runName_;
  if (ops_.MakeFolderAt(AT_FDCWD, folder.c_str(), kPrivateFolderMode) != 0)
    return FileError::System(FileStep::MakeFolder, errno);
  runFolder_ = folder;
  const std::string record = runFolder_ + "/" + kRunLogName;
  record_ = FileDescriptor(
      ops_.Open(record.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, kPrivateFileMode), ops_);
  Outcome<> started = !record_.Valid() ? FileError::System(FileStep::CreateTemporary, errno) : Done();
  // Held until the run ends: an undo or a listing takes a locked record for a run still going on.
  if (started && ops_.Lock(record_.Fd(), LOCK_EX | LOCK_NB) != 0) started = FileError::System(FileStep::Lock, errno);
  if (started) started = Append(RunLogHeader(description_));
  if (!started) {
    CloseRecord();
    static_cast<void>(RemoveRunFolder(runFolder_, ops_));
    recordBroken_ = true;
  }
  return started;
}

Outcome<> RunJournal::Append(const std::string& line) {
  if (recordBroken_ || !record_.Valid()) return FileError::System(FileStep::Write, EIO);
  Outcome<> written = WriteAll(ops_, record_.Fd(), line);
  struct stat after;
  if (written && ops_.Sync(record_.Fd()) != 0)
    written = FileError::System(FileStep::Write, errno);
  else if (written && ops_.FStat(record_.Fd(), &after) != 0)
    written = FileError::System(FileStep::Write, errno);
  else if (written && static_cast<std::uint64_t>(after.st_size) != recordSize_ + line.size())
    written = FileError::System(FileStep::Write, EIO);  // a disk that takes fewer bytes than it says
  if (written) {
    recordSize_ += line.size();
    return Done();
  }
  // A line half on disk would run into the next: it is cut off again, or
  // nothing more is written to this record.
  if (ops_.Truncate(record_.Fd(), static_cast<off_t>(recordSize_)) != 0 || ops_.Sync(record_.Fd()) != 0)
    recordBroken_ = true;
  return written;
}

KeptOriginal RunJournal::Keep(const std::string& nativePath, std::string_view original,
                              std::string_view replacement) {
  return KeepWith(nativePath, original.size(), [&] { return ContentHash(original); },
                  [&] { return ContentHash(replacement); },
                  [&](const std::string& file) { return WritePrivateFile(file, original, ops_); });
}

KeptOriginal RunJournal::KeepFrom(const std::string& nativePath, int original, std::uint64_t size,
                                  const std::string& originalHash, const std::string& writtenHash) {
  return KeepWith(nativePath, size, [&] { return originalHash; }, [&] { return writtenHash; },
                  [&](const std::string& file) { return WritePrivateFileFrom(file, original, size, ops_); });
}

KeptOriginal RunJournal::KeepWith(const std::string& nativePath, std::uint64_t size,
                                  const std::function<std::string()>& originalHash,
                                  const std::function<std::string()>& writtenHash,
                                  const std::function<Outcome<FileIdentity>(const std::string&)>& writeOriginal) {
  KeptOriginal kept;
  JournalEntry record;
  size_t ticket = 0;
  std::string file;
  {
    std::lock_guard lock(mutex_);
    if (finished_) return kept;
    // Counted as the pruning counts: the originals' bytes.
    if (keptBytes_ + size > place_.maxBytes) {
      kept.kind = KeptOriginal::Kind::Full;
      return kept;
    }
    if (const Outcome<> started = StartRecord(); !started) {
      kept.error = started.Failure();
      return kept;
    }
    keptBytes_ += size;
    ticket = entries_.size();
    Entry& entry = entries_.emplace_back();
    entry.originalName = OriginalName(ticket);
    entry.size = size;
    file = runFolder_ + "/" + entry.originalName;
  }
  // Hashed and written outside the lock: several files' originals may go to disk at once.
  record.path = AbsolutePath(nativePath);
  record.originalName = OriginalName(ticket);
  record.originalSize = size;
  record.originalHash = originalHash();
  record.writtenHash = writtenHash();
  const Outcome<FileIdentity> written = writeOriginal(file);
  std::lock_guard lock(mutex_);
  const Outcome<> recorded = written ? Append(KeepLine(record)) : Outcome<>(written.Failure());
  if (recorded) {
    kept.kind = KeptOriginal::Kind::Kept;
    kept.ticket = ticket;
    return kept;
  }
  entries_[ticket].discarded = true;
  keptBytes_ -= size;
  if (written) ops_.Unlink(file.c_str());  // no record names it
  kept.error = recorded.Failure();
  return kept;
}

void RunJournal::Written(size_t ticket) {
  std::lock_guard lock(mutex_);
  if (ticket < entries_.size()) entries_[ticket].written = true;
}

void RunJournal::Discard(size_t ticket) {
  std::lock_guard lock(mutex_);
  if (ticket >= entries_.size() || entries_[ticket].discarded) return;
  Entry& entry = entries_[ticket];
  entry.discarded = true;
  keptBytes_ -= entry.size;
  // Without the line that drops it, the original stays: an undo finds the
  // file as it was and has nothing to do.
  if (Append(DropLine(entry.originalName))) ops_.Unlink((runFolder_ + "/" + entry.originalName).c_str());
}

JournalEnd RunJournal::Finish() {
  std::lock_guard lock(mutex_);
  JournalEnd end;
  finished_ = true;
  end.kind = JournalEnd::Kind::NothingKept;
  for (const Entry& entry : entries_) {
    if (!entry.written || entry.discarded) continue;
    ++end.files;
    end.bytes += entry.size;
  }
  if (end.files == 0) {
    CloseRecord();
    if (!runFolder_.empty()) static_cast<void>(RemoveRunFolder(runFolder_, ops_));
    return end;
  }
  // Without its end the run is still undoable, as a killed one is.
  static_cast<void>(Append(EndLine()));
  CloseRecord();
  const JournalLock journalLock(place_.folder, ops_);
  PruneRuns(place_, ops_);
  end.kind = JournalEnd::Kind::Kept;
  end.runName = runName_;
  return end;
}

}  // namespace trawlscope
