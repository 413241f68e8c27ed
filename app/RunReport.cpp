#include "app/RunReport.h"

#include <cstring>

#include "app/AppTexts.h"
#include "app/CodePageTexts.h"
#include "app/CountTexts.h"
#include "app/DecimalText.h"
#include "app/OutcomeText.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

std::u16string Line(const std::u16string& path) { return u"\n" + DisplayPath(path); }

std::u16string Line(const std::u16string& path, const std::string& why) {
  return Line(path) + u": " + FromNativePath(why);
}

std::u16string Sentence(const CatalogueText& pattern, std::initializer_list<std::u16string_view> arguments) {
  return FillIn(Words(pattern), arguments);
}

// The pages of the files a replace changed.
std::vector<CodePage> ChangedFilesPages(const RunSummary& summary) {
  std::vector<CodePage> pages;
  for (const auto& file : summary.replaced)
    if (file.outcome.kind == FileReplaceOutcome::Kind::Changed) pages.push_back(file.outcome.codePage);
  return pages;
}

}  // namespace

std::u16string WarningText(const RunWarning& warning) {
  if (warning.kind == RunWarning::Kind::XPathInvalid)
    return Words(texts::kXPathError) + u"\n" + FromNativePath(XPathFaultText(warning.xpath));
  if (warning.kind == RunWarning::Kind::ModuleMissing)
    return Words(texts::kModuleMissing) + u"\n" + FromNativePath(ModuleProblemText(warning.module));
  std::u16string missing, special;
  for (const UnlistedPath& entry : warning.paths) {
    const CatalogueText* what = entry.kind == PathKind::Fifo     ? &texts::kIsFifo
                                : entry.kind == PathKind::Socket ? &texts::kIsSocket
                                : entry.kind == PathKind::Device ? &texts::kIsDevice
                                                                 : nullptr;
    if (what == nullptr)
      missing += Line(entry.path);
    else
      special += Line(entry.path) + u": " + Words(*what);
  }
  std::u16string text = missing.empty() ? u"" : Words(texts::kPathsNotFound) + missing;
  if (!special.empty()) text += (text.empty() ? u"" : u"\n\n") + Words(texts::kPathsNotSearched) + special;
  return text;
}

std::u16string SearchProblemsText(const RunSummary& summary) {
  std::u16string text;
  if (!summary.unreadable.empty()) {
    text += Words(texts::kFilesNotRead);
    for (const auto& file : summary.unreadable) text += Line(file.path, std::strerror(file.error));
  }
  if (!summary.unsearchable.empty()) {
    if (!text.empty()) text += u"\n\n";
    text += Words(texts::kFilesNotSearched);
    for (const auto& path : summary.unsearchable) text += Line(path);
  }
  if (!summary.compressed.empty()) {
    if (!text.empty()) text += u"\n\n";
    text += Words(texts::kCompressedNotSearched);
    for (const auto& problem : summary.compressed) text += Line(problem.path, CompressedFaultText(problem.fault));
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
  std::u16string text =
      files == 0 ? Words(TRAWLSCOPE_TEXT("RunReport", "No file was changed."))
                 : Sentence(TRAWLSCOPE_TEXT("RunReport", "Replaced %1 in %2."), {OccurrencesText(occurrences), FilesText(files)});
  if (files > 0) text += u" " + Sentence(TRAWLSCOPE_TEXT("RunReport", "Written in %1."), {CodePageCountsText(ChangedFilesPages(summary))});
  if (summary.aborted)
    text += u"\n" + Words(TRAWLSCOPE_TEXT("RunReport", "The replace was stopped before it went through every file."));
  if (!list.empty()) text += u"\n\n" + Words(texts::kFilesLeftUnchanged) + list;
  const std::u16string leftOut = LeftOutText(summary.filesLeftOut, summary.foldersLeftOut);
  if (!leftOut.empty()) text += u"\n" + leftOut;
  const std::string journal = JournalEndText(summary.journal);
  if (files > 0 && !journal.empty())
    text += u"\n\n" + Sentence(TRAWLSCOPE_TEXT("RunReport", "This replace %1."), {FromNativePath(journal)});
  return text;
}

std::u16string ReplaceQuestion(const ReplaceScopeCounts& scope, const std::u16string& replacement,
                               const std::optional<JournalRoom>& room) {
  const std::u16string counts =
      Sentence(scope.selectedOnly ? TRAWLSCOPE_TEXT("RunReport", "selected %1 in %2")
                                  : TRAWLSCOPE_TEXT("RunReport", "%1 in %2"),
               {OccurrencesText(scope.occurrences), FilesText(scope.files)});
  std::u16string question =
      replacement.empty() ? Sentence(TRAWLSCOPE_TEXT("RunReport", "Delete the %1 (the replacement is empty)?"), {counts})
                          : Sentence(TRAWLSCOPE_TEXT("RunReport", "Replace the %1 with \"%2\"?"), {counts, replacement});
  question += u"\n\n";
  question += scope.selectedOnly
                  ? Words(TRAWLSCOPE_TEXT("RunReport",
                                          "Each file is checked first: one changed since the search is left as it is."))
                  : Words(TRAWLSCOPE_TEXT("RunReport", "Every file is searched again and changed in place."));
  if (room && room->fits)
    return question + u" " + Words(TRAWLSCOPE_TEXT("RunReport", "It can be undone afterwards (\"Undo last replace\")."));
  const std::string why = room ? JournalRoomText(*room) : JournalOffText();
  return question + u" " + Sentence(TRAWLSCOPE_TEXT("RunReport", "This cannot be undone: %1."), {FromNativePath(why)});
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
  // The note stands on one line after "%1 found.", in the same language.
  std::u16string note = CountedText(summary.filesSearched, TRAWLSCOPE_TEXT("RunReport", "%1 file searched."),
                                    TRAWLSCOPE_TEXT("RunReport", "%1 files searched."));
  if (summary.binarySkipped > 0)
    note += u" " + CountedText(summary.binarySkipped, TRAWLSCOPE_TEXT("RunReport", "%1 binary file skipped."),
                               TRAWLSCOPE_TEXT("RunReport", "%1 binary files skipped."));
  const size_t unreadable = summary.unreadable.size();
  if (unreadable > 0)
    note += u" " + CountedText(unreadable, TRAWLSCOPE_TEXT("RunReport", "%1 file could not be read."),
                               TRAWLSCOPE_TEXT("RunReport", "%1 files could not be read."));
  const std::u16string leftOut = LeftOutText(summary.filesLeftOut, summary.foldersLeftOut);
  if (!leftOut.empty()) note += u" " + leftOut;
  const size_t compressed = summary.compressed.size();
  if (compressed > 0)
    note += u" " + CountedText(compressed, TRAWLSCOPE_TEXT("RunReport", "%1 compressed file or member could not be searched."),
                               TRAWLSCOPE_TEXT("RunReport", "%1 compressed files or members could not be searched."));
  return note;
}

}  // namespace trawlscope
