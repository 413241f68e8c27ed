#include "app/UndoText.h"

#include <ctime>

#include "app/AppTexts.h"
#include "app/CountTexts.h"
#include "app/OutcomeText.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

std::u16string Utf16(const std::string& utf8) { return FromNativePath(utf8); }

}  // namespace

std::string RunTimeText(std::int64_t secondsSinceEpoch) {
  const auto time = static_cast<std::time_t>(secondsSinceEpoch);
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::u16string UndoQuestion(const KeptRun& run) {
  if (!run.manifest)
    return Words(TRAWLSCOPE_TEXT("Undo", "The record of the last replace is damaged or incomplete, so it cannot be undone."));
  const RunDescription& description = run.manifest->description;
  return FillIn(Words(TRAWLSCOPE_TEXT("Undo", "Undo the replace of %1 (\"%2\" with \"%3\", %4)?\n\n"
                                              "Each file gets its content from before the replace back, "
                                              "unless it has changed since.")),
                {Utf16(RunTimeText(description.time)), Utf16(description.searchText),
                 Utf16(description.replacementText), FilesText(run.manifest->files.size())});
}

std::u16string UndoReportText(const UndoReport& report) {
  switch (report.status) {
    case UndoReport::Status::NothingToUndo: return Words(texts::kNothingToUndo);
    case UndoReport::Status::Damaged:
      return FillIn(Words(TRAWLSCOPE_TEXT("Undo", "The record of the last replace is damaged or incomplete: "
                                                  "no file was touched.\nIt is kept in %1")),
                    {Utf16(report.runFolder)});
    case UndoReport::Status::NotPrivate: return Utf16(JournalFolderText(report.folder));
    case UndoReport::Status::Undone: break;
  }
  std::u16string text = FillIn(Words(TRAWLSCOPE_TEXT("Undo", "Put back %1.")), {FilesText(report.restored.size())});
  if (!report.refused.empty()) {
    text += u"\n\n" + Words(TRAWLSCOPE_TEXT("Undo", "These files were left as they are:"));
    for (const UndoRefusedFile& file : report.refused)
      text += u"\n" + DisplayPath(FromNativeName(file.path)) + u": " + Utf16(UndoRefusalText(file));
    text += u"\n\n" + Words(TRAWLSCOPE_TEXT("Undo", "Their originals are still kept with the replace."));
  }
  return text;
}

std::u16string BesideQuestion(const UndoReport& report) {
  return FillIn(Words(TRAWLSCOPE_TEXT("Undo", "Put the kept originals of %1 beside them, each as a new file "
                                              "named after it with \".original\"? Nothing is overwritten.")),
                {FilesText(report.refused.size())});
}

std::u16string BesideReportText(const BesideReport& report) {
  if (report.status != UndoReport::Status::Undone) {
    UndoReport nothingDone;
    nothingDone.status = report.status;
    nothingDone.folder = report.folder;
    nothingDone.runFolder = report.runFolder;
    return UndoReportText(nothingDone);
  }
  std::u16string text = FillIn(Words(TRAWLSCOPE_TEXT("Undo", "Wrote the originals of %1 beside them:")), {FilesText(report.placed.size())});
  for (const auto& [path, beside] : report.placed) text += u"\n" + DisplayPath(FromNativeName(beside));
  if (!report.failed.empty()) {
    text += u"\n\n" + Words(TRAWLSCOPE_TEXT("Undo", "These originals could not be written and are still kept:"));
    for (const UndoRefusedFile& file : report.failed)
      text += u"\n" + DisplayPath(FromNativeName(file.path)) + u": " + Utf16(UndoRefusalText(file));
  }
  return text;
}

}  // namespace trawlscope
