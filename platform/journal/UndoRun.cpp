#include "platform/journal/UndoRun.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/files/FileReader.h"
#include "platform/files/SafeFileWriter.h"
#include "platform/journal/ContentHash.h"
#include "platform/journal/JournalLock.h"

namespace trawlscope {
namespace {

// One file put back, or why not; `placed` is then what stands at its path.
std::optional<UndoRefusedFile> Restore(const KeptRun& run, const JournalEntry& entry, IFileOps& ops,
                                       FileIdentity& placed) {
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
  placed = written.placed;
  return std::nullopt;
}

// A file put back holds what the run before wrote, but as a new file: that
// run's record of it is brought up to date, so that undoing it next still
// sees the file as that run left it. Only where the contents agree.
void CarryBackIdentities(const std::vector<KeptRun>& runs, std::vector<std::pair<const JournalEntry*, FileIdentity>> restored,
                         IFileOps& ops) {
  for (size_t r = 1; r < runs.size() && !restored.empty(); ++r) {
    if (!runs[r].manifest) break;  // an undo stops at a damaged run anyway
    RunManifest manifest = *runs[r].manifest;
    bool changed = false;
    for (auto it = restored.begin(); it != restored.end();) {
      const auto entry = std::find_if(manifest.files.begin(), manifest.files.end(),
                                      [&](const JournalEntry& e) { return e.path == it->first->path; });
      if (entry == manifest.files.end()) {
        ++it;
        continue;
      }
      if (entry->writtenHash == it->first->originalHash) {
        entry->written = it->second;
        changed = true;
      }
      it = restored.erase(it);
    }
    if (changed) WriteWholeFile(runs[r].folder + "/" + kManifestName, ManifestBytes(manifest), ops);
  }
}

}  // namespace

std::optional<KeptRun> LastKeptRun(const std::string& journalFolder) {
  // Only the newest is read: the dialog asks this at the start and end of every run.
  const std::vector<std::string> names = KeptRunNames(journalFolder);
  if (names.empty()) return std::nullopt;
  return ReadKeptRun(journalFolder, names.front());
}

UndoReport UndoLastRun(const JournalPlace& place, IFileOps& ops) {
  UndoReport report;
  if (place.folder.empty()) return report;
  const JournalLock lock(place.folder);
  const std::vector<KeptRun> runs = ListKeptRuns(place.folder);
  if (runs.empty()) return report;
  const KeptRun* run = &runs.front();
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
  std::vector<std::pair<const JournalEntry*, FileIdentity>> restored;
  for (const JournalEntry& entry : run->manifest->files) {
    FileIdentity placed;
    if (auto refused = Restore(*run, entry, ops, placed)) {
      report.refused.push_back(std::move(*refused));
    } else {
      report.restored.push_back(entry.path);
      restored.emplace_back(&entry, placed);
    }
  }
  RemoveRunFolder(run->folder);
  CarryBackIdentities(runs, std::move(restored), ops);
  return report;
}

}  // namespace trawlscope
