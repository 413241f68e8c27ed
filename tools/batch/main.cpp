// trawlscope-batch: the search engine from a terminal. It runs the same job
// as the desktop program and prints what the result list would show.
#include <atomic>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "BatchHelp.h"
#include "BatchLanguage.h"
#include "BatchOptions.h"
#include "HitLines.h"
#include "HitPrinter.h"
#include "BatchTexts.h"
#include "ExitStatus.h"
#include "TerminalProgress.h"
#include "UndoCommands.h"
#include "app/AppTexts.h"
#include "app/OutcomeText.h"
#include "app/RunReport.h"
#include "app/SettingsLocation.h"
#include "app/UndoSettings.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/detectcache/CacheFolder.h"
#include "platform/files/FileReader.h"
#include "platform/files/NativePath.h"
#include "platform/ignore/IgnoreRules.h"
#include "platform/desktop/ProcessLocale.h"
#include "platform/ini/ProfileFile.h"
#include "results/HitExport.h"
#include "app/CountTexts.h"
#include "search/run/ReplaceJob.h"
#include "search/run/RequestListing.h"
#include "search/run/SearchJob.h"

namespace {

using namespace trawlscope;
using batch::PathField;
using batch::kExitFound;
using batch::kExitInterrupted;
using batch::kExitNotFound;
using batch::kExitTrouble;
// The desktop program, another build, keeps a file of its own.
constexpr char kPageCacheName[] = "codepages-batch";

// Ctrl-C, a terminal hang-up or a kill only raise the abort flag; the run
// stops at its next check point, its journal and every file whole.
AbortFlag* interruptFlag = nullptr;
extern "C" void OnInterrupt(int) {
  if (interruptFlag != nullptr) interruptFlag->store(true, std::memory_order_relaxed);
}

void ReportBinaryFiles(const RunSummary& summary) {
  if (summary.binarySkipped > 0) batch::Say(batch::texts::kBinarySkipped, {std::to_string(summary.binarySkipped)});
  const std::u16string leftOut = LeftOutText(summary.filesLeftOut, summary.foldersLeftOut);
  if (!leftOut.empty()) std::fprintf(stderr, "%s\n", ToNativeBytes(leftOut).c_str());
}

int ListCodePages(JobState& state) {
  const SearchRequest& request = state.request;
  // Files as they are on disk: a compressed file's members have no page of their own to list here.
  ListingRules rules = ListingRulesOf(request);
  rules.alsoList = {};
  if (rules.followGitignore) {
    if (const ModuleProblem& problem = IgnoreRules::LoadModule(); problem.kind != ModuleProblem::Kind::None) {
      std::fprintf(stderr, "%s\n%s\n", WordsUtf8(trawlscope::texts::kModuleMissing).c_str(),
                   ModuleProblemText(problem).c_str());
      return kExitTrouble;
    }
  }
  std::vector<UnlistedPath> unlisted;
  ListFiles(state.abortRequested, request.searchPath, rules,
            [&](std::u16string path) { state.fileList.push_back(std::move(path)); }, &unlisted);
  batch::SayUnlisted(unlisted);
  for (const auto& path : state.fileList) {
    if (IsAborted(state.abortRequested)) return kExitInterrupted;
    std::string bytes;
    static_cast<void>(ReadWholeFile(ToNativePath(path), bytes));  // an unreadable file is judged as an empty one
    const ByteOrderMark mark = FindByteOrderMark(bytes);
    // As a search reads it: a chosen page gives way to a byte-order mark only.
    const CodePage page = mark.codePage != codepage::kNone ? mark.codePage
                          : request.readAs != codepage::kNone ? request.readAs
                                                              : DetectCodePage(bytes);
    std::printf("%s\t%u\t%d\t%s\n", PathField(path).c_str(), page, mark.length > 0 ? 1 : 0,
                CodePageDisplayName(page).c_str());
  }
  return unlisted.empty() ? kExitFound : kExitTrouble;
}

batch::HitPrinter MakePrinter(const batch::BatchOptions& options, std::function<void(std::string_view)> write) {
  if (options.fileLines) return batch::HitPrinter(std::move(write), *options.fileLines, options.nulls);
  if (options.format) return batch::HitPrinter(std::move(write), *options.format);
  if (options.context)
    return batch::HitPrinter(std::move(write), *options.context, !options.request.xpath.empty());
  return batch::HitPrinter(std::move(write), options.codePageField);
}

int Search(JobState& state, const batch::BatchOptions& options) {
  const std::string& outputFile = options.outputFile;
  // Lines are written only while the run goes on, when the display stands.
  batch::TerminalProgress* display = nullptr;
  batch::HitPrinter printer = MakePrinter(options, [&](std::string_view lines) { display->WriteOut(lines); });
  // The display has its own thread, so the job can run on this one.
  batch::TerminalProgress progress([&] { return printer.Hits(); }, state.progress);
  display = &progress;
  // Each file's hits are printed as its turn comes; only --output needs them after the run.
  state.onFileHits = [&](const HitList& fileHits) { printer.Print(fileHits); };
  // --quiet: the first hit answers the question, so the run stops there,
  // through the flag an interruption raises.
  std::atomic<bool> found{false};
  if (options.quiet)
    state.onFileHits = [&](const HitList& fileHits) {
      if (fileHits.Count() == 0) return;
      found.store(true, std::memory_order_relaxed);
      state.abortRequested.store(true, std::memory_order_relaxed);
    };
  state.keepHits = !outputFile.empty();
  RunSearch(state, progress);
  printer.Flush();
  const RunSummary summary = progress.Summary();
  if (summary.expressionRejected || summary.moduleMissing) return kExitTrouble;

  for (const auto& [path, error] : printer.ContextFailures())
    batch::Say(batch::texts::kNotRead, {std::strerror(error), PathField(path)});
  for (const auto& path : summary.unsearchable)
    batch::Say(batch::texts::kTooComplex, {PathField(path)});
  for (const auto& file : summary.unreadable)
    batch::Say(batch::texts::kNotRead, {std::strerror(file.error), PathField(file.path)});
  for (const auto& problem : summary.compressed)
    batch::Say(batch::texts::kCompressedNotSearched, {CompressedFaultText(problem.fault), PathField(problem.path)});
  std::fflush(stdout);
  // --quiet says only what went wrong.
  if (!options.quiet) {
    ReportBinaryFiles(summary);
    batch::Say(batch::texts::kHitsInFiles, {std::to_string(printer.Hits()), std::to_string(printer.Files())});
  }
  bool trouble = progress.PathsUnlisted() || summary.xpathRejected || !printer.ContextFailures().empty() ||
                 !summary.unsearchable.empty() || !summary.unreadable.empty() || !summary.compressed.empty();
  if (!outputFile.empty()) {
    const Outcome<FileIdentity> written = ExportHits(state.hits, FromNativePath(outputFile));
    if (!written) {
      batch::Say(batch::texts::kNotWritten, {outputFile, FileErrorText(written.Failure())});
      trouble = true;
    }
  }
  // As grep -q: a hit is the answer, whatever went wrong before it.
  if (found.load(std::memory_order_relaxed)) return kExitFound;
  if (summary.aborted) {
    batch::Say(batch::texts::kAborted);
    return kExitInterrupted;
  }
  if (trouble) return kExitTrouble;
  return printer.Hits() > 0 ? kExitFound : kExitNotFound;
}

const char* Describe(const FileReplaceOutcome& outcome, std::string& buffer) {
  switch (outcome.kind) {
    case FileReplaceOutcome::Kind::Changed:
      buffer = "changed " + std::to_string(outcome.replacements);
      break;
    case FileReplaceOutcome::Kind::Unchanged: buffer = "unchanged"; break;
    case FileReplaceOutcome::Kind::Binary: buffer = "skipped: binary file"; break;
    case FileReplaceOutcome::Kind::SameFile: buffer = "skipped: the same file as another path of this run"; break;
    default: buffer = "left unchanged: " + ReplaceProblemText(outcome); break;
  }
  return buffer.c_str();
}

int Replace(JobState& state) {
  batch::TerminalProgress progress([&] { return state.hits.Count(); }, state.progress);
  RunReplace(state, progress);
  const RunSummary summary = progress.Summary();
  if (summary.expressionRejected || summary.moduleMissing) return kExitTrouble;
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
  batch::Say(batch::texts::kReplaced, {std::to_string(occurrences), std::to_string(changed), std::to_string(left)});
  ReportBinaryFiles(summary);
  if (summary.aborted) {
    batch::Say(batch::texts::kAborted);
    return kExitInterrupted;
  }
  if (summary.xpathRejected || progress.PathsUnlisted() || left > 0) return kExitTrouble;
  return changed > 0 ? kExitFound : kExitNotFound;
}

// The settings file the desktop program beside this tool uses, read only.
JournalPlace SettingsJournalPlace() {
  SettingsEnvironment environment = CurrentSettingsEnvironment();
  environment.executablePath = NativeFolderOf(environment.executablePath) + "/trawlscope";
  IniProfileFile file(SettingsFilePath(environment));
  return UndoJournalPlace(SettingsStore(file));
}

// The command line as a shell would take it back, for the list of kept runs.
std::string CommandLine(int argc, char** argv) {
  std::string line = "trawlscope-batch";
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool plain = !argument.empty() && argument.find_first_not_of(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_./=:,+@%") == std::string::npos;
    std::string quoted = "'";
    for (const char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    line += " " + (plain ? argument : quoted + "'");
  }
  return line;
}

// The hit lines of --only-hits; a bad line ends the tool before anything is written.
std::optional<HitSelection> ReadSelection(const std::string& file, FileCodePages& pages) {
  std::string text;
  if (file == "-") {
    char buffer[1 << 16];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) text.append(buffer, got);
  } else if (const Outcome<FileRead> read = ReadWholeFile(file, text); !read) {
    batch::Say(batch::texts::kCannotRead, {file, std::strerror(read.Failure().error)});
    return std::nullopt;
  }
  std::string error;
  auto selection = batch::ParseHitLines(text, error, pages);
  if (!selection)
    std::fprintf(stderr, "trawlscope-batch: --only-hits %s: %s\n",
                 file == "-" ? WordsUtf8(batch::texts::kStandardInput).c_str() : file.c_str(), error.c_str());
  return selection;
}

// Ends a run that wrote nothing but its output: a big run's lists go with the
// process, where freeing them one by one took 6 ms of a 420 ms search over a
// Linux tree.
[[noreturn]] void ExitAfterReading(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace

int main(int argc, char** argv) {
  SetProcessLocale();
  // The language comes from the environment, which SetProcessLocale leaves alone.
  batch::InstallUserLanguage();
  std::string error;
  const auto options = batch::ParseBatchOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "trawlscope-batch: %s\n%s", error.c_str(), WordsUtf8(batch::kHelpHint).c_str());
    return kExitTrouble;
  }
  if (options->showHelp) {
    std::printf("%s%s", batch::kUsage, WordsUtf8(batch::kHelp).c_str());
    return kExitFound;
  }
  if (options->showVersion) {
    std::printf("trawlscope-batch %s\n", TRAWLSCOPE_VERSION);
    return kExitFound;
  }
  if (options->undoList) return batch::ListRuns(CurrentUndoJournalFolder());
  JobState state;
  state.request = options->request;
  interruptFlag = &state.abortRequested;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, OnInterrupt);
  if (options->undo || options->undoBeside) {
    // Whatever the settings keep now, the runs already kept can be undone.
    JournalPlace place = SettingsJournalPlace();
    place.folder = CurrentUndoJournalFolder();
    return options->undo ? batch::UndoLast(place, state.abortRequested)
                         : batch::PutBeside(place, state.abortRequested);
  }
  if (options->listCodePages) ExitAfterReading(ListCodePages(state));
  if (options->cachePages) state.pageCache = PageCachePlace{CurrentCacheFolder(), kPageCacheName};
  if (!options->replace) ExitAfterReading(Search(state, *options));

  if (!options->onlyHitsFile.empty()) {
    state.selection = ReadSelection(options->onlyHitsFile, state.fileCodePages);
    if (!state.selection) return kExitTrouble;
  }
  // Whether this replace can be undone is said before any file is touched.
  const JournalPlace place = SettingsJournalPlace();
  if (CurrentUndoJournalFolder().empty()) {
    batch::Say(batch::texts::kCannotBeUndone, {WordsUtf8(batch::texts::kNoJournalPlace)});
  } else if (place.folder.empty()) {
    batch::Say(batch::texts::kCannotBeUndone, {JournalOffText()});
  } else {
    const JournalRoom room = RoomForOriginals(place, state.selection ? SelectedFileBytes(*state.selection) : 0);
    if (!room.folder) {
      batch::Say(batch::texts::kNothingChanged, {JournalRoomText(room)});
      return kExitTrouble;
    }
    if (room.fits) {
      state.journal = place;
      state.journalCommand = CommandLine(argc, argv);
    } else {
      batch::Say(batch::texts::kCannotBeUndone, {JournalRoomText(room)});
    }
  }
  return Replace(state);
}
