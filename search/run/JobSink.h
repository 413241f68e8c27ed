#pragma once
// What a running job must tell whoever shows it, in order: its warnings (as
// kinds and values: the sink chooses the words) and its end. Progress is not
// among them: the job publishes it (RunProgress) and the display reads it at
// its own pace. Every call comes from the run's thread; an implementation
// that touches windows hands the call to the UI thread and waits for it there.
#include <string>
#include <string_view>
#include <vector>

#include "platform/journal/RunJournal.h"
#include "platform/modules/ModuleProblem.h"
#include "platform/xml/XmlDocument.h"
#include "search/archive/CompressedProblem.h"
#include "search/listing/FileList.h"
#include "search/review/ReplaceOutcome.h"

namespace trawlscope {

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
  bool expressionRejected = false;            // a regex run whose pattern did not compile (warned first)
  bool xpathRejected = false;                 // the XPath did not compile; the run went on
  bool moduleMissing = false;                 // a module the run needs could not be loaded (warned first)
  size_t filesSearched = 0;                   // files read and matched (or replaced in)
  size_t binarySkipped = 0;                   // files that are not text, never searched
  size_t filesLeftOut = 0;                    // by the patterns and options that leave files out
  size_t foldersLeftOut = 0;                  // the same for folders, never entered
  std::vector<std::u16string> unsearchable;   // files the expression was too complex for
  std::vector<UnreadableFile> unreadable;     // a search run: files it could not read
  std::vector<CompressedProblem> compressed;  // compressed files or members damaged, encrypted or too large
  std::vector<std::u16string> cutShort;       // an aborted search: files whose turn came and that it did not finish
  std::vector<ReplacedFile> replaced;         // a replace run: every file it went through
  JournalEnd journal;                         // a replace run: whether it can be undone
};

// Something the user must hear before the run goes on. The sink chooses the words.
struct RunWarning {
  enum class Kind {
    PathsNotListed,  // `paths`: Search path entries that list no file, and why; the rest is searched
    XPathInvalid,   // `xpath`: what the XML library found; ".xml" files are read as plain text
    ExpressionInvalid,  // `detail`: the expression library's description; the run ends
    ModuleMissing,  // `module`: why a module the run needs cannot be loaded; the run ends
  };
  Kind kind = Kind::PathsNotListed;
  std::vector<UnlistedPath> paths;
  std::string detail;  // UTF-8
  ModuleProblem module{};
  XPathFault xpath{};
};

class IJobSink {
 public:
  virtual ~IJobSink() = default;
  // Shown before the run goes on; the run waits until the sink returns.
  virtual void Warn(const RunWarning& warning) = 0;
  virtual void RunFinished(const RunSummary& summary) = 0;
};

}  // namespace trawlscope
