#include "platform/journal/UndoRun.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/files/FileReader.h"
#include "platform/files/SafeFileWriter.h"
#include "platform/journal/ContentHash.h"
#include "platform/journal/JournalLock.h"

namespace trawlscope {
namespace {

// One file put back, or why not.
std::optional<UndoRefusedFile> Restore(const KeptRun& run, const JournalEntry& entry, IFileOps& ops) {
  const auto refused = [&](UndoRefusal reason, FileError error = {}) {
    return std::optional<UndoRefusedFile>(UndoRefusedFile{entry.path, reason, error});
  };
  struct stat info;
  if (ops.Stat(entry.path.c_str(), &info) != 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return refused(UndoRefusal::Missing, FileError::System(FileStep::Find, error));
    return refused(UndoRefusal::File, FileError::System(FileStep::Find, error));
  }
  if (!entry.written.Unchanged(FileIdentity::Of(info))) return refused(UndoRefusal::ChangedSinceReplace);
  FileBuffer current;
  FileIdentity asRead;
  if (const ReadStatus read = ReadWholeFile(entry.path, current, &asRead); !read)
    return refused(UndoRefusal::File, FileError::System(FileStep::Read, read.error));
  if (!entry.written.Unchanged(asRead) || ContentHash(current.Bytes()) != entry.writtenHash)
    return refused(UndoRefusal::ChangedSinceReplace);
  std::string original;
  if (const ReadStatus read = ReadWholeFile(run.folder + "/" + entry.originalName, original);
      !read || ContentHash(original) != entry.originalHash)
    return refused(UndoRefusal::File, FileError::System(FileStep::Read, read ? EIO : read.error));
  const WriteResult written = RewriteFile(entry.path, original, current.Bytes(), asRead, ops);
  if (!written.written) {
    if (written.error.refusal == FileRefusal::ChangedSinceRead) return refused(UndoRefusal::ChangedSinceReplace);
    return refused(UndoRefusal::File, written.error);
  }
  return std::nullopt;
}

}  // namespace

std::optional<KeptRun> LastKeptRun(const std::string& journalFolder) {
  std::vector<KeptRun> runs = ListKeptRuns(journalFolder);
  if (runs.empty()) return std::nullopt;
  return std::move(runs.front());
}

UndoReport UndoLastRun(const JournalPlace& place, IFileOps& ops) {
  UndoReport report;
  if (place.folder.empty()) return report;
  const JournalLock lock(place.folder);
  const auto run = LastKeptRun(place.folder);
  if (!run) return report;
  report.runName = run->name;
  report.runFolder = run->folder;
  // Every original is checked before the first file is touched: a journal
  // damaged anywhere restores nothing.
  if (!OriginalsIntact(*run)) {
    report.status = UndoReport::Status::Damaged;
    if (run->manifest) report.description = run->manifest->description;
    return report;
  }
  report.status = UndoReport::Status::Undone;
  report.description = run->manifest->description;
  for (const JournalEntry& entry : run->manifest->files) {
    if (auto refused = Restore(*run, entry, ops))
      report.refused.push_back(std::move(*refused));
    else
      report.restored.push_back(entry.path);
  }
  RemoveRunFolder(run->folder);
  return report;
}

}  // namespace trawlscope
