#include "platform/journal/UndoRun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/files/FileDescriptor.h"
#include "platform/files/Outcome.h"
#include "platform/files/SafeFileWriter.h"
#include "platform/files/StreamedRewrite.h"
#include "platform/journal/ContentHash.h"
#include "platform/journal/JournalLock.h"
#include "platform/journal/RunLog.h"
#include "platform/journal/UndoLog.h"

namespace trawlscope {
namespace {

constexpr char kBesideSuffix[] = ".original";
constexpr int kBesideNames = 100;  // NAME.original, NAME.original-2 ... before giving up

UndoRefusedFile Refused(const JournalEntry& entry, UndoRefusal reason, FileError error = {}) {
  return UndoRefusedFile{entry.path, reason, error};
}

// A file open for reading, or why it is not.
Outcome<FileDescriptor> OpenForReading(const std::string& path, IFileOps& ops) {
  const int fd = ops.Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FileError::System(FileStep::Read, errno);
  return FileDescriptor(fd, ops);
}

// The hash of the regular file open as `file`, and what it is.
Outcome<std::string> HashRegularFile(const Outcome<FileDescriptor>& file, struct stat& info, IFileOps& ops) {
  if (!file) return file.Failure();
  if (ops.FStat(file.Value().Fd(), &info) != 0) return FileError::System(FileStep::Read, errno);
  // A FIFO or a device would hang the undo or never end.
  if (!S_ISREG(info.st_mode)) return FileError::System(FileStep::Read, EINVAL);
  return ContentHashOfFile(file.Value().Fd(), ops);
}

// The run's kept bytes of `entry`, open as `original`, checked against their hash.
std::optional<UndoRefusedFile> CheckOriginal(const JournalEntry& entry, const Outcome<FileDescriptor>& original,
                                             std::uint64_t& size, IFileOps& ops) {
  struct stat info;
  const Outcome<std::string> hash = HashRegularFile(original, info, ops);
  if (!hash) return Refused(entry, UndoRefusal::File, hash.Failure());
  if (hash.Value() != entry.originalHash)
    return Refused(entry, UndoRefusal::File, FileError::System(FileStep::Read, EIO));
  size = static_cast<std::uint64_t>(info.st_size);
  return std::nullopt;
}

// One file put back, or why not. What the file holds decides, not its
// times: a file only touched since is still what the run wrote, and one
// whose write the run did not live to make is still the original. Neither
// is held in memory: a replace may have changed a file of gigabytes.
std::optional<UndoRefusedFile> Restore(const KeptRun& run, const JournalEntry& entry, UndoLog& log, IFileOps& ops) {
  struct stat info;
  if (ops.Stat(entry.path.c_str(), &info) != 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return Refused(entry, UndoRefusal::Missing, FileError::System(FileStep::Find, error));
    return Refused(entry, UndoRefusal::File, FileError::System(FileStep::Find, error));
  }
  const Outcome<std::string> hash = HashRegularFile(OpenForReading(entry.path, ops), info, ops);
  if (!hash) return Refused(entry, UndoRefusal::File, hash.Failure());
  if (hash.Value() == entry.originalHash) return std::nullopt;
  if (hash.Value() != entry.writtenHash) return Refused(entry, UndoRefusal::ChangedSinceReplace);
  const FileIdentity asRead = FileIdentity::Of(info);
  const Outcome<FileDescriptor> original = OpenForReading(run.folder + "/" + entry.originalName, ops);
  std::uint64_t size = 0;
  if (auto refused = CheckOriginal(entry, original, size, ops)) return refused;
  if (const Outcome<> noted = log.Note(entry.path); !noted)
    return Refused(entry, UndoRefusal::File, noted.Failure());
  StreamedRewrite rewrite(ops);
  // The path the run wrote, a link it was let write through included: what
  // it names holds what the run wrote, as just checked.
  Outcome<> written = rewrite.Begin(entry.path, asRead, Links::Followed);
  if (written) {
    rewrite.AppendFrom(original.Value().Fd(), 0, size);
    if (const Outcome<FileIdentity> finished = rewrite.Finish(); !finished) written = finished.Failure();
  }
  if (written) return std::nullopt;
  if (written.Failure().refusal == FileRefusal::ChangedSinceRead)
    return Refused(entry, UndoRefusal::ChangedSinceReplace);
  return Refused(entry, UndoRefusal::File, written.Failure());
}

// The original written as a new file beside its file, under the first name
// that nothing stands at, a link that leads nowhere included; the write
// itself takes a name only while it is still free.
Outcome<FileIdentity> PlaceBeside(const JournalEntry& entry, const FileDescriptor& original, std::uint64_t size,
                                  UndoLog& log, IFileOps& ops, std::string& beside) {
  Outcome<FileIdentity> written = FileError::System(FileStep::CreateTemporary, EEXIST);
  for (int n = 1; n <= kBesideNames; ++n) {
    const std::string name = entry.path + kBesideSuffix + (n == 1 ? std::string() : "-" + std::to_string(n));
    struct stat info;
    if (ops.StatAt(AT_FDCWD, name.c_str(), &info) == 0 || errno != ENOENT) continue;
    if (const Outcome<> noted = log.Note(name); !noted) return noted.Failure();
    written = WriteNewPrivateFileFrom(name, original.Fd(), size, ops);
    if (written) beside = name;
    if (written || written.Failure().error != EEXIST) return written;
  }
  return written;
}

bool StopRequested(const std::atomic<bool>* stopRequested) {
  return stopRequested != nullptr && stopRequested->load(std::memory_order_relaxed);
}

// The newest run, locked and settled, or why there is none to work on.
struct LastRun {
  UndoReport::Status status = UndoReport::Status::NothingToUndo;
  FolderCheck folder;
  std::optional<KeptRun> run;
};

// The run's record rewritten, its own temporary file named first.
// One that cannot be rewritten still names the files put back, which a
// later undo finds as they were and leaves alone.
void RewriteKept(const KeptRun& run, const RunManifest& remaining, UndoLog& log, IFileOps& ops) {
  if (!remaining.files.empty() && !log.Note(run.folder + "/" + kRunLogName)) return;
  static_cast<void>(RewriteRun(run, remaining, ops));
}

std::optional<KeptRun> NewestKeptRun(const std::string& journalFolder, IFileOps& ops) {
  // Only the newest is read: the dialog asks this at the start and end of every run.
  const std::vector<std::string> names = KeptRunNames(journalFolder, ops);
  if (names.empty()) return std::nullopt;
  return ReadKeptRun(journalFolder, names.front(), ops);
}

LastRun OpenLastRun(const JournalPlace& place, IFileOps& ops) {
  LastRun last;
  if (place.folder.empty()) return last;
  last.folder = CheckPrivateFolder(place.folder, ops);
  if (last.folder.trust == FolderTrust::Unusable && last.folder.error == ENOENT) return last;
  if (!last.folder) {
    last.status = UndoReport::Status::NotPrivate;
    return last;
  }
  SettleAbandonedRuns(place, ops);
  last.run = NewestKeptRun(place.folder, ops);
  if (!last.run) return last;
  // Every original is checked before the first file is touched: a journal
  // damaged anywhere restores nothing.
  last.status = OriginalsIntact(*last.run, ops) ? UndoReport::Status::Undone : UndoReport::Status::Damaged;
  return last;
}

}  // namespace

std::optional<KeptRun> LastKeptRun(const std::string& journalFolder) {
  return NewestKeptRun(journalFolder, SystemFileOps());
}

UndoReport UndoLastRun(const JournalPlace& place, IFileOps& ops, const std::atomic<bool>* stopRequested) {
  UndoReport report;
  const JournalLock lock(place.folder, ops);
  const LastRun last = OpenLastRun(place, ops);
  report.status = last.status;
  report.folder = last.folder;
  if (!last.run) return report;
  const KeptRun& run = *last.run;
  report.runName = run.name;
  report.runFolder = run.folder;
  if (run.manifest) report.description = run.manifest->description;
  if (report.status != UndoReport::Status::Undone) return report;

  // Backwards, so that a file the run reached twice comes back to what it was first.
  RunManifest remaining = *run.manifest;
  remaining.files.clear();
  const auto& files = run.manifest->files;
  UndoLog log(place.folder, ops);
  for (auto entry = files.rbegin(); entry != files.rend(); ++entry) {
    report.stopped = report.stopped || StopRequested(stopRequested);
    if (report.stopped) {
      remaining.files.push_back(*entry);
    } else if (auto refused = Restore(run, *entry, log, ops)) {
      report.refused.push_back(std::move(*refused));
      remaining.files.push_back(*entry);
    } else {
      report.restored.push_back(entry->path);
    }
  }
  // Reported, and kept, in the run's own order.
  std::reverse(report.refused.begin(), report.refused.end());
  std::reverse(report.restored.begin(), report.restored.end());
  std::reverse(remaining.files.begin(), remaining.files.end());
  RewriteKept(run, remaining, log, ops);
  return report;
}

BesideReport PutOriginalsBeside(const JournalPlace& place, IFileOps& ops, const std::atomic<bool>* stopRequested) {
  BesideReport report;
  const JournalLock lock(place.folder, ops);
  const LastRun last = OpenLastRun(place, ops);
  report.status = last.status;
  report.folder = last.folder;
  if (!last.run) return report;
  const KeptRun& run = *last.run;
  report.runFolder = run.folder;
  if (report.status != UndoReport::Status::Undone) return report;

  RunManifest remaining = *run.manifest;
  remaining.files.clear();
  UndoLog log(place.folder, ops);
  for (const JournalEntry& entry : run.manifest->files) {
    report.stopped = report.stopped || StopRequested(stopRequested);
    if (report.stopped) {
      remaining.files.push_back(entry);
      continue;
    }
    const Outcome<FileDescriptor> original = OpenForReading(run.folder + "/" + entry.originalName, ops);
    std::uint64_t size = 0;
    auto failed = CheckOriginal(entry, original, size, ops);
    std::string beside;
    if (!failed) {
      const Outcome<FileIdentity> written = PlaceBeside(entry, original.Value(), size, log, ops, beside);
      if (written)
        report.placed.emplace_back(entry.path, beside);
      else
        failed = Refused(entry, UndoRefusal::File, written.Failure());
    }
    if (failed) {
      report.failed.push_back(std::move(*failed));
      remaining.files.push_back(entry);
    }
  }
  RewriteKept(run, remaining, log, ops);
  return report;
}

}  // namespace trawlscope
