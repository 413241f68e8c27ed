#include "app/RunReport.h"

#include <cstring>

#include "app/AppTexts.h"
#include "app/DecimalText.h"
#include "app/OutcomeText.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

std::u16string Line(const std::u16string& path) { return u"\n" + DisplayPath(path); }

std::u16string Line(const std::u16string& path, const std::string& why) {
  return Line(path) + u": " + FromNativePath(why);
}


}  // namespace

std::u16string WarningText(const RunWarning& warning) {
  if (warning.kind == RunWarning::Kind::XPathInvalid)
    return std::u16string(texts::kXPathError) + u"\n" + FromNativePath(warning.detail);
  std::u16string text = texts::kPathsNotFound;
  for (const auto& path : warning.paths) text += Line(path);
  return text;
}

std::u16string SearchProblemsText(const RunSummary& summary) {
  std::u16string text;
  if (!summary.unreadable.empty()) {
    text += texts::kFilesNotRead;
    for (const auto& file : summary.unreadable) text += Line(file.path, std::strerror(file.error));
  }
  if (!summary.unsearchable.empty()) {
    if (!text.empty()) text += u"\n\n";
    text += texts::kFilesNotSearched;
    for (const auto& path : summary.unsearchable) text += Line(path);
  }
  return text;
}

std::u16string ReplaceSummaryText(const RunSummary& summary) {
  size_t files = 0, occurrences = 0;
  std::u16string list;
  for (const auto& file : summary.replaced) {
    if (file.outcome.kind == FileReplaceOutcome::Kind::Changed) {
      ++files;
      occurrences += file.outcome.replacements;
    } else if (file.outcome.kind == FileReplaceOutcome::Kind::LeftUnchanged) {
      list += Line(file.path, ReplaceProblemText(file.outcome));
    }
  }
  for (const auto& path : summary.unsearchable) list += Line(path);
  std::u16string text = files == 0 ? std::u16string(u"No file was changed.")
                                   : u"Replaced " + CountedText(occurrences, u"occurrence", u"occurrences") +
                                         u" in " + CountedText(files, u"file", u"files") + u".";
  if (summary.aborted) text += u"\nThe replace was stopped before it went through every file.";
  if (!list.empty()) text += u"\n\n" + std::u16string(texts::kFilesLeftUnchanged) + list;
  const std::string journal = JournalEndText(summary.journal);
  if (files > 0 && !journal.empty()) text += u"\n\nThis replace " + FromNativePath(journal) + u".";
  return text;
}

std::u16string ReplaceQuestion(const ReplaceScopeCounts& scope, const std::u16string& replacement,
                               const std::optional<JournalRoom>& room) {
  const std::u16string counts = std::u16string(scope.selectedOnly ? u"selected " : u"") +
                                CountedText(scope.occurrences, u"occurrence", u"occurrences") + u" in " +
                                CountedText(scope.files, u"file", u"files");
  std::u16string question = replacement.empty()
                                ? u"Delete the " + counts + u" (the replacement is empty)?"
                                : u"Replace the " + counts + u" with \"" + replacement + u"\"?";
  question += scope.selectedOnly ? u"\n\nEach file is checked first: one changed since the search is left as it is."
                                 : u"\n\nEvery file is searched again and changed in place.";
  if (room && room->fits) return question + u" It can be undone afterwards (\"Undo last replace\").";
  const std::string why = room ? JournalRoomText(*room) : std::string("the undo journal is turned off");
  return question + u" This cannot be undone: " + FromNativePath(why) + u".";
}

ReplaceScopeCounts CountScope(const HitList& hits) {
  ReplaceScopeCounts scope;
  const HitFile* previous = nullptr;
  for (const Hit& hit : hits) {
    if (&hit.File() != previous) ++scope.files;
    previous = &hit.File();
  }
  scope.occurrences = hits.size();
  return scope;
}

ReplaceScopeCounts CountScope(const HitSelection& selection) {
  ReplaceScopeCounts scope;
  scope.selectedOnly = true;
  scope.files = selection.files.size();
  for (const SelectedFile& file : selection.files) scope.occurrences += file.occurrences.size();
  return scope;
}

std::u16string RunNoteText(const RunSummary& summary) {
  std::u16string note = DecimalText(summary.filesSearched) + u" files searched.";
  if (summary.binarySkipped > 0) note += u" " + DecimalText(summary.binarySkipped) + u" binary files skipped.";
  const size_t unreadable = summary.unreadable.size();
  if (unreadable > 0) note += u" " + DecimalText(unreadable) + u" files could not be read.";
  return note;
}

}  // namespace trawlscope
