#pragma once
// The per-file replace: reads a file through a prepared searcher's window,
// changes its occurrences (or the picked ones) and writes it back in its own
// code page, keeping the original in the run's journal first. It owns the
// rules that keep users' files from harm. Lives on the searcher's thread.
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/FileIdentity.h"
#include "platform/files/SafeFileWriter.h"
#include "platform/journal/RunJournal.h"
#include "search/AbortFlag.h"
#include "search/file/FileSearcher.h"
#include "search/review/HitSelection.h"
#include "search/review/ReplaceOutcome.h"
#include "search/review/ReplacedFiles.h"
#include "search/text/TextEdits.h"

namespace trawlscope {

// What a replace of one file takes beyond its text.
struct ReplaceScope {
  const SelectedFile* only = nullptr;  // only these occurrences; null for every one
  RunJournal* journal = nullptr;       // keeps the original before the file is replaced; null for none
  ReplacedFiles* taken = nullptr;      // the run's files written so far; null when names cannot repeat
  IFileOps* fileOps = nullptr;         // the writer's system calls; null for the real ones
  // A link in a searched folder may name any file, another user's too: it
  // is written through only when the user asked for that.
  Links links = Links::NotFollowed;
};

// A replace of a symbolic link, unless `scope` lets it write through: left
// unchanged, naming the file read through it; nothing when not a link.
std::optional<FileReplaceOutcome> RefusedLink(const std::string& nativePath, const FileIdentity& asRead,
                                              const ReplaceScope& scope);

class FileReplacer {
 public:
  // Replaces with what `searcher` was prepared for, through its window:
  // the two never run at once, and the window's memory serves both.
  explicit FileReplacer(FileSearcher& searcher) : pattern_(searcher.Pattern()), window_(searcher.Window()) {}

  // Replaces every occurrence in the file and writes it back in its own code
  // page, changing no byte outside the occurrences; never writes a file in
  // which nothing matched, that could not be read whole, or that is binary.
  // With `scope.only`, the file must still be what the search read and hold
  // each picked occurrence as the search found it (a match of the search
  // text now, when there is one), or it is left as it is. With a journal,
  // the original is kept there before the file is written, or the file is
  // left as it is.
  FileReplaceOutcome ReplaceInFile(const AbortFlag& abortRequested, const std::u16string& path,
                                   const std::u16string& replacementText, const ReplaceScope& scope = {});

 private:
  FileReplaceOutcome ReplaceLoaded(const AbortFlag& abortRequested, const std::u16string& path,
                                   CodePage detected, const FileIdentity& asRead,
                                   const std::u16string& replacementText, const ReplaceScope& scope);
  // A file left open in the window's pieces, written back a piece at a time.
  FileReplaceOutcome ReplaceInPieces(const AbortFlag& abortRequested, const std::u16string& path, CodePage detected,
                                     const FileIdentity& asRead, const std::u16string& replacementText,
                                     const ReplaceScope& scope);
  struct PieceRewrite;
  // Decodes a piece that may hold an edit and collects its edits into `out`;
  // an outcome when the file must stay as it is.
  std::optional<FileReplaceOutcome> EditPiece(const AbortFlag& abortRequested, PieceRewrite& out,
                                              std::string_view piece, bool atStart, size_t textAt, CodePage detected,
                                              const std::u16string& replacementText);
  // Writes a piece, its edits spliced in, once the first edit has begun the
  // rewrite; an outcome when the file must stay as it is.
  std::optional<FileReplaceOutcome> WritePiece(PieceRewrite& out, std::string_view piece,
                                               unsigned long long pieceOffset, const std::string& nativePath,
                                               const FileIdentity& asRead, const ReplaceScope& scope);
  // Keeps the original in the journal, then puts the rewritten file in place.
  FileReplaceOutcome FinishPieces(PieceRewrite& out, const std::string& nativePath, const ReplaceScope& scope);
  FileReplaceOutcome ReplaceXml(const AbortFlag& abortRequested, const std::u16string& path,
                                const FileIdentity& asRead, const std::u16string& replacementText,
                                const ReplaceScope& scope);
  // The picked occurrences' edits of the window's text, or why the file must stay as it is.
  FileReplaceOutcome CollectSelected(const AbortFlag& abortRequested, const SelectedFile& only,
                                     const std::u16string& replacementText, TextEdits& edits);
  // The new bytes written over the file, its original kept first when the run has a journal.
  FileReplaceOutcome WriteReplaced(const std::u16string& path, std::string_view newBytes,
                                   const FileIdentity& asRead, size_t replacements, const ReplaceScope& scope);

  SearchPattern& pattern_;
  FileWindow& window_;
};

}  // namespace trawlscope
