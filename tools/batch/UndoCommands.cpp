#include "UndoCommands.h"

#include "BatchTexts.h"
#include "ExitStatus.h"

#include <cstdio>
#include <optional>

#include "app/OutcomeText.h"
#include "app/UndoText.h"
#include "platform/files/NativePath.h"
#include "platform/journal/UndoRun.h"
#include "results/HitExport.h"

namespace trawlscope::batch {
namespace {

std::string Field(const std::string& utf8) { return ToNativeBytes(FlattenField(FromNativePath(utf8))); }
std::string PathField(const std::string& nativePath) {
  return ToNativeBytes(FlattenField(DisplayPath(FromNativeName(nativePath))));
}

// The exit status, having said why, when the journal gave no run to work on;
// no run at all is "nothing found", a run that cannot be trusted is trouble.
std::optional<int> SayWhyNothingWasDone(UndoReport::Status status, const FolderCheck& folder,
                                        const std::string& runFolder) {
  switch (status) {
    case UndoReport::Status::NothingToUndo: Say(texts::kNothingToUndo); return kExitNotFound;
    case UndoReport::Status::Damaged: Say(texts::kUndoDamaged, {runFolder}); return kExitTrouble;
    case UndoReport::Status::NotPrivate: Say(texts::kNothingChanged, {JournalFolderText(folder)}); return kExitTrouble;
    case UndoReport::Status::Undone: return std::nullopt;
  }
  return kExitTrouble;
}

}  // namespace

int UndoLast(const JournalPlace& place, const std::atomic<bool>& stopRequested) {
  const UndoReport report = UndoLastRun(place, SystemFileOps(), &stopRequested);
  if (const auto status = SayWhyNothingWasDone(report.status, report.folder, report.runFolder)) return *status;
  for (const std::string& path : report.restored) std::printf("%s\trestored\n", PathField(path).c_str());
  for (const UndoRefusedFile& file : report.refused)
    std::printf("%s\tleft unchanged: %s\n", PathField(file.path).c_str(), UndoRefusalText(file).c_str());
  std::fflush(stdout);
  Say(texts::kRestored, {std::to_string(report.restored.size()), std::to_string(report.refused.size())});
  if (!report.refused.empty()) Say(texts::kOriginalsKept, {std::to_string(report.refused.size())});
  if (report.stopped) {
    Say(texts::kAborted);
    return kExitInterrupted;
  }
  return report.refused.empty() ? kExitFound : kExitTrouble;
}

int PutBeside(const JournalPlace& place, const std::atomic<bool>& stopRequested) {
  const BesideReport report = PutOriginalsBeside(place, SystemFileOps(), &stopRequested);
  if (const auto status = SayWhyNothingWasDone(report.status, report.folder, report.runFolder)) return *status;
  for (const auto& [path, beside] : report.placed)
    std::printf("%s\tbeside: %s\n", PathField(path).c_str(), PathField(beside).c_str());
  for (const UndoRefusedFile& file : report.failed)
    std::printf("%s\tstill kept: %s\n", PathField(file.path).c_str(), UndoRefusalText(file).c_str());
  std::fflush(stdout);
  Say(texts::kPutBeside, {std::to_string(report.placed.size()), std::to_string(report.failed.size())});
  if (report.stopped) {
    Say(texts::kAborted);
    return kExitInterrupted;
  }
  return report.failed.empty() ? kExitFound : kExitTrouble;
}

int ListRuns(const std::string& journalFolder) {
  for (const KeptRun& run : ListKeptRuns(journalFolder)) {
    if (!run.manifest) {
      std::printf("%s\tdamaged\n", run.name.c_str());
      continue;
    }
    const RunDescription& description = run.manifest->description;
    std::printf("%s\t%zu files\t%s\t%s\t%s\n", RunTimeText(description.time).c_str(), run.manifest->files.size(),
                Field(description.searchText).c_str(), Field(description.replacementText).c_str(),
                Field(description.command).c_str());
  }
  return 0;
}

}  // namespace trawlscope::batch
