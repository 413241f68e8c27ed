#include "app/UndoText.h"

#include <ctime>

#include "app/DecimalText.h"
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
    return u"The record of the last replace is damaged or incomplete, so it cannot be undone.";
  const RunDescription& description = run.manifest->description;
  return u"Undo the replace of " + Utf16(RunTimeText(description.time)) + u" (\"" + Utf16(description.searchText) +
         u"\" with \"" + Utf16(description.replacementText) + u"\", " +
         CountedText(run.manifest->files.size(), u"file", u"files") +
         u")?\n\nEach file gets its content from before the replace back, unless it has changed since.";
}

std::u16string UndoReportText(const UndoReport& report) {
  switch (report.status) {
    case UndoReport::Status::NothingToUndo: return u"There is no replace to undo.";
    case UndoReport::Status::Damaged:
      return u"The record of the last replace is damaged or incomplete: no file was touched.\nIt is kept in " +
             Utf16(report.runFolder);
    case UndoReport::Status::Undone: break;
  }
  std::u16string text = u"Put back " + CountedText(report.restored.size(), u"file", u"files") + u".";
  if (!report.refused.empty()) {
    text += u"\n\nThese files were left as they are:";
    for (const UndoRefusedFile& file : report.refused)
      text += u"\n" + DisplayPath(FromNativeName(file.path)) + u": " + Utf16(UndoRefusalText(file));
  }
  return text;
}

}  // namespace trawlscope
