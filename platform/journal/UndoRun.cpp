#include "platform/journal/UndoRun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

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

// A file open for reading, closed again at the end of the scope.
class OpenFile {
 public:
  explicit OpenFile(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
  ~OpenFile() {
    if (fd_ >= 0) close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int Fd() const { return fd_; }

 private:
  int fd_;
};

// The hash of the regular file open as `file`, and what it is; an errno when it cannot be read.
int HashRegularFile(const OpenFile& file, std::string& hash, struct stat& info) {
  if (file.Fd() < 0 || fstat(file.Fd(), &info) != 0) return errno;
  // A FIFO or a device would hang the undo or never end.
  if (!S_ISREG(info.st_mode)) return EINVAL;
  int error = 0;
  return ContentHashOfFile(file.Fd(), hash, error) ? 0 : error;
}

// The run's kept bytes of `entry`, open as `original`, checked against their hash.
std::optional<UndoRefusedFile> CheckOriginal(const JournalEntry& entry, const OpenFile& original, std::uint64_t& size) {
  std::string hash;
  struct stat info;
  const int error = HashRegularFile(original, hash, info);
  if (error != 0 || hash != entry.originalHash)
    return Refused(entry, UndoRefusal::File, FileError::System(FileStep::Read, error != 0 ? error : EIO));
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
  const OpenFile current(entry.path);
  std::string hash;
  if (const int error = HashRegularFile(current, hash, info); error != 0)
    return Refused(entry, UndoRefusal::File, FileError::System(FileStep::Read, error));
  if (hash == entry.originalHash) return std::nullopt;
  if (hash != entry.writtenHash) return Refused(entry, UndoRefusal::ChangedSinceReplace);
  const FileIdentity asRead = FileIdentity::Of(info);
  const OpenFile original(run.folder + "/" + entry.originalName);
  std::uint64_t size = 0;
  if (auto refused = CheckOriginal(entry, original, size)) return refused;
  if (int error = 0; !log.Note(entry.path, error))
    return Refused(entry, UndoRefusal::File, FileError::System(FileStep::CreateTemporary, error));
  StreamedRewrite rewrite(ops);
  // The path the run wrote, a link it was let write through included: what
  // it names holds what the run wrote, as just checked.
  WriteResult written = rewrite.Begin(entry.path, asRead, Links::Followed);
  if (written.written) {
    rewrite.AppendFrom(original.Fd(), 0, size);
    written = rewrite.Finish();
  }
  if (written.written) return std::nullopt;
  if (written.error.refusal == FileRefusal::ChangedSinceRead) return Refused(entry, UndoRefusal::ChangedSinceReplace);
  return Refused(entry, UndoRefusal::File, written.error);
}

// The original written as a new file beside its file, under the first name
// that nothing stands at, a link that leads nowhere included; the write
// itself takes a name only while it is still free.
WriteResult PlaceBeside(const JournalEntry& entry, const OpenFile& original, std::uint64_t size, UndoLog& log,
                        IFileOps& ops, std::string& beside) {
  WriteResult written{false, FileError::System(FileStep::CreateTemporary, EEXIST)};
  for (int n = 1; n <= kBesideNames; ++n) {
    const std::string name = entry.path + kBesideSuffix + (n == 1 ? std::string() : "-" + std::to_string(n));
    struct stat info;
    if (lstat(name.c_str(), &info) == 0 || errno != ENOENT) continue;
    if (int error = 0; !log.Note(name, error)) return {false, FileError::System(FileStep::CreateTemporary, error)};
    written = WriteNewPrivateFileFrom(name, original.Fd(), size, ops);
    if (written.written) beside = name;
    if (written.written || written.error.error != EEXIST) return written;
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
void RewriteKept(const KeptRun& run, const RunManifest& remaining, UndoLog& log) {
  if (int error = 0; !remaining.files.empty() && !log.Note(run.folder + "/" + kRunLogName, error)) return;
  RewriteRun(run, remaining);
}

LastRun OpenLastRun(const JournalPlace& place) {
  LastRun last;
  if (place.folder.empty()) return last;
  last.folder = CheckPrivateFolder(place.folder);
  if (last.folder.trust == FolderTrust::Unusable && last.folder.error == ENOENT) return last;
  if (!last.folder) {
    last.status = UndoReport::Status::NotPrivate;
    return last;
  }
  SettleAbandonedRuns(place);
  last.run = LastKeptRun(place.folder);
  if (!last.run) return last;
  // Every original is checked before the first file is touched: a journal
  // damaged anywhere restores nothing.
  last.status = OriginalsIntact(*last.run) ? UndoReport::Status::Undone : UndoReport::Status::Damaged;
  return last;
}

}  // namespace

std::optional<KeptRun> LastKeptRun(const std::string& journalFolder) {
  // Only the newest is read: the dialog asks this at the start and end of every run.
  const std::vector<std::string> names = KeptRunNames(journalFolder);
  if (names.empty()) return std::nullopt;
  return ReadKeptRun(journalFolder, names.front());
}

UndoReport UndoLastRun(const JournalPlace& place, IFileOps& ops, const std::atomic<bool>* stopRequested) {
  UndoReport report;
  const JournalLock lock(place.folder);
  const LastRun last = OpenLastRun(place);
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
  RewriteKept(run, remaining, log);
  return report;
}

BesideReport PutOriginalsBeside(const JournalPlace& place, IFileOps& ops, const std::atomic<bool>* stopRequested) {
  BesideReport report;
  const JournalLock lock(place.folder);
  const LastRun last = OpenLastRun(place);
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
    const OpenFile original(run.folder + "/" + entry.originalName);
    std::uint64_t size = 0;
    auto failed = CheckOriginal(entry, original, size);
    std::string beside;
    if (!failed) {
      const WriteResult written = PlaceBeside(entry, original, size, log, ops, beside);
      if (written.written)
        report.placed.emplace_back(entry.path, beside);
      else
        failed = Refused(entry, UndoRefusal::File, written.error);
    }
    if (failed) {
      report.failed.push_back(std::move(*failed));
      remaining.files.push_back(entry);
    }
  }
  RewriteKept(run, remaining, log);
  return report;
}

}  // namespace trawlscope
