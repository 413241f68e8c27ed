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

struct RunSummary {
  bool aborted = false;
  bool expressionRejected = false;            // a regex run whose pattern did not compile
  std::vector<std::u16string> unsearchable;   // files the expression was too complex for
  std::vector<ReplacedFile> replaced;         // a replace run: every file it went through
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
  virtual void RunFinished(const RunSummary& summary) = 0;
};

}  // namespace trawlscope
