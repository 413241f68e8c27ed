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

// "1 file", "2 files".
std::u16string Counted(size_t count, std::u16string_view one, std::u16string_view many) {
  return DecimalText(static_cast<long long>(count)) + u" " + std::u16string(count == 1 ? one : many);
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
                                   : u"Replaced " + Counted(occurrences, u"occurrence", u"occurrences") +
                                         u" in " + Counted(files, u"file", u"files") + u".";
  if (summary.aborted) text += u"\nThe replace was stopped before it went through every file.";
  if (!list.empty()) text += u"\n\n" + std::u16string(texts::kFilesLeftUnchanged) + list;
  return text;
}

std::u16string ReplaceQuestion(const HitList& hits, const std::u16string& replacement) {
  size_t files = 0;
  const HitFile* previous = nullptr;
  for (const Hit& hit : hits) {
    if (&hit.File() != previous) ++files;
    previous = &hit.File();
  }
  const std::u16string counts = DecimalText(static_cast<long long>(hits.size())) + u" occurrences in " +
                                DecimalText(static_cast<long long>(files)) + u" files";
  std::u16string question = replacement.empty()
                                ? u"Delete the " + counts + u" (the replacement is empty)?"
                                : u"Replace the " + counts + u" with \"" + replacement + u"\"?";
  return question + u"\n\nEvery file is searched again and changed in place. This cannot be undone.";
}

std::u16string RunNoteText(const RunSummary& summary) {
  std::u16string note = DecimalText(summary.filesSearched) + u" files searched.";
  if (summary.binarySkipped > 0) note += u" " + DecimalText(summary.binarySkipped) + u" binary files skipped.";
  const size_t unreadable = summary.unreadable.size();
  if (unreadable > 0) note += u" " + DecimalText(unreadable) + u" files could not be read.";
  return note;
}

}  // namespace trawlscope
