#pragma once
// Prints each file's hits as one line each (path, line, position, length,
// keyword, separated by TABs; or a record of --format) as the run hands them over, in list order,
// and keeps none of them: the tool's memory does not grow with its output.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ContextLines.h"
#include "results/HitRecords.h"
#include "search/hits/HitList.h"

namespace trawlscope::batch {

// One line per file with hits instead of one per hit: its name
// (--files-with-hits), or its name and how many hits it has (--count).
enum class FileLines { Names, Counts };

// A path as one field of a line: UTF-8, never a TAB or line break, that
// names the file exactly (see EscapedName).
std::string PathField(const std::u16string& path);

class HitPrinter {
 public:
  // `write` puts lines out (standard output, between progress redraws).
  // With `codePageField`, each line ends with a TAB and the file's code page number.
  explicit HitPrinter(std::function<void(std::string_view lines)> write, bool codePageField = false);
  // Each hit as a record of `format` (--format), the header first when it has one.
  HitPrinter(std::function<void(std::string_view lines)> write, RecordFormat format);
  // Each hit's line with the lines around it (--context), as grep -n -H prints them;
  // `xpath` when ".xml" files are searched through an XPath.
  HitPrinter(std::function<void(std::string_view lines)> write, ContextCounts counts, bool xpath);
  // A line for each file with hits; with `nulls` (--null) each name is as it is
  // on disk and ends in a NUL, for xargs -0, as grep -lZ and rg -l -0 print it.
  HitPrinter(std::function<void(std::string_view lines)> write, FileLines fileLines, bool nulls);

  // One file's hits; one thread at a time (the run's committer).
  void Print(const HitList& fileHits);
  // Puts out what is still held; once the run is over.
  void Flush();

  // Any thread.
  size_t Hits() const { return hits_.load(std::memory_order_relaxed); }
  size_t Files() const { return files_.load(std::memory_order_relaxed); }
  // The files whose lines could not be read again for --context, and the errno; after Flush.
  const std::vector<std::pair<std::u16string, int>>& ContextFailures() const { return contextFailures_; }

 private:
  void Hold(const HitList& fileHits);
  void PrintHeld();
  void PrintFileLines(const HitList& fileHits);
  void EndCountedFile();
  void Write();
  // What waited longer than a reader of a pipe should wait goes out.
  void WriteIfHeldLong();

  std::function<void(std::string_view)> write_;
  bool codePageField_;
  std::optional<RecordFormat> format_;
  std::string out_;
  // With --context a file's hits wait here until its last record has come.
  std::optional<ContextLines> context_;
  HeldFile held_;
  bool xpath_ = false;
  std::optional<FileLines> fileLines_;
  bool nulls_ = false;
  // --count: the file whose hits are being counted; its records may come in pieces.
  std::string countedPath_;
  size_t counted_ = 0;
  std::vector<std::pair<std::u16string, int>> contextFailures_;
  // Lines are held until a piece fills or this long has passed since the
  // last write, so that a reader of a pipe sees the first hits at once
  // without a system call for every file.
  std::chrono::steady_clock::time_point lastWrite_{};
  std::atomic<size_t> hits_{0};
  std::atomic<size_t> files_{0};
};

}  // namespace trawlscope::batch
