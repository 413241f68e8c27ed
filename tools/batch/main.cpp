// trawlscope-batch: the search engine from a terminal. It runs the same job
// as the desktop program and prints what the result list would show.
#include <csignal>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

#include "BatchHelp.h"
#include "BatchOptions.h"
#include "TerminalProgress.h"
#include "app/OutcomeText.h"
#include "platform/codepage/CodePageDetector.h"
#include "platform/files/FileReader.h"
#include "platform/files/NativePath.h"
#include "platform/desktop/ProcessLocale.h"
#include "results/HitExport.h"
#include "search/ReplaceJob.h"
#include "search/SearchJob.h"

namespace {

using namespace trawlscope;

constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

// Ctrl-C only raises the abort flag; the run stops at its next check point.
AbortFlag* interruptFlag = nullptr;
extern "C" void OnInterrupt(int) {
  if (interruptFlag != nullptr) interruptFlag->store(true, std::memory_order_relaxed);
}

// A path as one field of a line: readable UTF-8, never a TAB or line break.
std::string PathField(const std::u16string& path) { return ToNativeBytes(FlattenField(DisplayPath(path))); }

void PrintHits(const HitList& hits) {
  std::string out;
  for (const auto& hit : hits) {
    out += PathField(hit.FullPath());
    out += '\t' + std::to_string(hit.line) + '\t' + std::to_string(hit.position) + '\t' +
           std::to_string(hit.length) + '\t';
    out += ToNativeBytes(FlattenField(hit.Keyword()));
    out += '\n';
    if (out.size() > (1 << 16)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
}

void ReportBinaryFiles(const RunSummary& summary) {
  if (summary.binarySkipped > 0) std::fprintf(stderr, "%zu binary files skipped\n", summary.binarySkipped);
}

int ListCodePages(JobState& state) {
  const SearchRequest& request = state.request;
  BuildFileList(state.abortRequested, request.searchPath, state.fileList,
                request.includeSubfolders, request.fileTypes);
  for (const auto& path : state.fileList) {
    if (IsAborted(state.abortRequested)) return kExitInterrupted;
    std::string bytes;
    ReadWholeFile(ToNativePath(path), bytes);
    const bool hadBom = FindByteOrderMark(bytes).length > 0;
    std::printf("%s\t%u\t%d\n", PathField(path).c_str(), DetectCodePage(bytes), hadBom ? 1 : 0);
  }
  return 0;
}

int Search(JobState& state, const std::string& outputFile) {
  // The display has its own thread, so the job can run on this one.
  batch::TerminalProgress progress(state.hits, state.progress);
  RunSearch(state, progress);
  const RunSummary summary = progress.Summary();
  if (summary.expressionRejected) return kExitUsage;

  PrintHits(state.hits);
  for (const auto& path : summary.unsearchable)
    std::fprintf(stderr, "could not be searched (the expression is too complex for it): %s\n",
                 PathField(path).c_str());
  for (const auto& file : summary.unreadable)
    std::fprintf(stderr, "could not be read (%s): %s\n", std::strerror(file.error), PathField(file.path).c_str());
  ReportBinaryFiles(summary);
  size_t files = 0;
  const HitFile* previous = nullptr;
  for (const auto& hit : state.hits) {
    if (&hit.File() != previous) ++files;  // one record per searched file with hits
    previous = &hit.File();
  }
  std::fflush(stdout);
  std::fprintf(stderr, "%zu hits in %zu files\n", state.hits.size(), files);
  if (!outputFile.empty()) {
    const WriteResult written = ExportHits(state.hits, FromNativePath(outputFile));
    if (!written.written) {
      std::fprintf(stderr, "could not write %s: %s\n", outputFile.c_str(), FileErrorText(written.error).c_str());
      return 1;
    }
  }
  if (summary.aborted) {
    std::fprintf(stderr, "aborted\n");
    return kExitInterrupted;
  }
  return summary.xpathRejected ? kExitUsage : 0;
}

const char* Describe(const FileReplaceOutcome& outcome, std::string& buffer) {
  switch (outcome.kind) {
    case FileReplaceOutcome::Kind::Changed:
      buffer = "changed " + std::to_string(outcome.replacements);
      break;
    case FileReplaceOutcome::Kind::Unchanged: buffer = "unchanged"; break;
    case FileReplaceOutcome::Kind::Binary: buffer = "skipped: binary file"; break;
    default: buffer = "left unchanged: " + ReplaceProblemText(outcome); break;
  }
  return buffer.c_str();
}

int Replace(JobState& state) {
  batch::TerminalProgress progress(state.hits, state.progress);
  RunReplace(state, progress);
  const RunSummary summary = progress.Summary();
  if (summary.expressionRejected) return kExitUsage;
  std::string line;
  size_t changed = 0, occurrences = 0, left = 0;
  for (const auto& file : summary.replaced) {
    std::printf("%s\t%s\n", PathField(file.path).c_str(), Describe(file.outcome, line));
    if (file.outcome.kind == FileReplaceOutcome::Kind::Changed) {
      ++changed;
      occurrences += file.outcome.replacements;
    } else if (file.outcome.kind == FileReplaceOutcome::Kind::LeftUnchanged) {
      ++left;
    }
  }
  std::fflush(stdout);
  std::fprintf(stderr, "%zu replacements in %zu files; %zu files left unchanged\n", occurrences,
               changed, left);
  ReportBinaryFiles(summary);
  if (summary.aborted) {
    std::fprintf(stderr, "aborted\n");
    return kExitInterrupted;
  }
  return summary.xpathRejected ? kExitUsage : 0;
}

}  // namespace

int main(int argc, char** argv) {
  SetProcessLocale();
  std::string error;
  const auto options = batch::ParseBatchOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "trawlscope-batch: %s\n%s", error.c_str(), batch::kHelpHint);
    return kExitUsage;
  }
  if (options->showHelp) {
    std::printf("%s%s", batch::kUsage, batch::kHelp);
    return 0;
  }
  if (options->showVersion) {
    std::printf("trawlscope-batch %s\n", TRAWLSCOPE_VERSION);
    return 0;
  }
  JobState state;
  state.request = options->request;
  interruptFlag = &state.abortRequested;
  std::signal(SIGINT, OnInterrupt);
  if (options->listCodePages) return ListCodePages(state);
  return options->replace ? Replace(state) : Search(state, options->outputFile);
}
