#pragma once
// How a running job talks to whoever shows it: the progress dialog in the
// desktop program, a terminal line in the batch tool. Every call comes from
// the worker thread; an implementation that touches windows hands the call to
// the UI thread and waits for it there.
#include <string>
#include <string_view>
#include <vector>

#include "search/ReplaceOutcome.h"

namespace trawlscope {

struct ProgressReport {
  std::u16string_view phase;     // one of the texts in JobTexts.h
  int index = -1;                // files done so far; -1 while listing
  int total = 0;                 // files in the list
  std::u16string_view fileName;  // without folder; empty when none
};

struct ReplacedFile {
  std::u16string path;
  FileReplaceOutcome outcome;
};

struct UnreadableFile {
  std::u16string path;
  int error = 0;  // errno; ENOMEM when its text did not fit in memory
};

struct RunSummary {
  bool aborted = false;
  bool expressionRejected = false;            // a regex run whose pattern did not compile
  bool xpathRejected = false;                 // the XPath did not compile; the run went on
  size_t filesSearched = 0;                   // files read and matched (or replaced in)
  size_t binarySkipped = 0;                   // files that are not text, never searched
  std::vector<std::u16string> unsearchable;   // files the expression was too complex for
  std::vector<UnreadableFile> unreadable;     // a search run: files it could not read
  std::vector<ReplacedFile> replaced;         // a replace run: every file it went through
};

// Something the user must hear before the run goes on. The sink chooses the words.
struct RunWarning {
  enum class Kind {
    PathsNotFound,  // `paths`: Search path entries that name nothing; the rest is searched
    XPathInvalid,   // `detail`: the XML library's description; ".xml" files are read as plain text
  };
  Kind kind = Kind::PathsNotFound;
  std::vector<std::u16string> paths;
  std::string detail;  // UTF-8
};

class IJobSink {
 public:
  virtual ~IJobSink() = default;
  virtual void ReportProgress(const ProgressReport& report) = 0;
  // The hit count is refreshed on a clock of the sink's own between these two.
  virtual void ProcessingStarted(int fileCount) = 0;
  virtual void ProcessingStopped() = 0;
  // A fixed text for a message box with an OK button.
  virtual void ShowMessage(std::u16string_view text) = 0;
  // Shown before the run goes on; the run waits until the sink returns.
  virtual void Warn(const RunWarning& warning) = 0;
  virtual void RunFinished(const RunSummary& summary) = 0;
};

}  // namespace trawlscope
