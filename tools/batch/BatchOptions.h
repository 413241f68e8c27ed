#pragma once
// The command line of trawlscope-batch.
#include <optional>
#include <string>
#include <vector>

#include "ContextLines.h"
#include "HitPrinter.h"
#include "results/HitRecords.h"
#include "search/SearchRequest.h"

namespace trawlscope::batch {

struct BatchOptions {
  SearchRequest request;
  std::string outputFile;  // native; empty when not asked for
  bool listCodePages = false;
  bool codePageField = false;  // --with-codepage: hit lines end with the file's code page
  bool cachePages = true;  // --no-codepage-cache turns off the cache of detected pages
  std::optional<RecordFormat> format;  // --format: hits as records of every field
  std::optional<ContextCounts> context;  // --context, --before-context, --after-context: grep's lines
  std::optional<FileLines> fileLines;  // --files-with-hits, --count: a line for each file with hits
  bool nulls = false;  // --null: names end in NUL
  bool quiet = false;  // --quiet: the exit status only, the run stopped at the first hit
  bool replace = false;  // request.replacementText holds the replacement
  std::string onlyHitsFile;  // native; "-" for stdin; empty when every occurrence is replaced
  bool undo = false;
  bool undoBeside = false;
  bool undoList = false;
  // --help or --version: nothing else was read, and nothing is required.
  bool showHelp = false;
  bool showVersion = false;
};

// The options, or nothing with `error` set to what is wrong.
std::optional<BatchOptions> ParseBatchOptions(const std::vector<std::string>& arguments,
                                              std::string& error);

// The synopsis, the first lines of --help.
extern const char kUsage[];

}  // namespace trawlscope::batch
