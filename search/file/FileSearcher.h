#pragma once
// The per-file search: prepared once with the search text and mode, it moves
// its window through each file and pushes every occurrence into the hit
// list as a Hit, handing the list over to an outlet as it fills. Lives on
// the worker thread for exactly one run.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/codepage/CodePageTable.h"
#include "platform/detectcache/DetectedPageCache.h"
#include "platform/files/FileReader.h"
#include "search/AbortFlag.h"
#include "search/SearchRequest.h"
#include "search/file/FileSearchOutcome.h"
#include "search/file/FileWindow.h"
#include "search/file/SearchPattern.h"
#include "search/hits/HitList.h"
#include "search/matching/Matcher.h"

namespace trawlscope {

// A file's hits are handed over this many at a time: a chunk of packed records.
inline constexpr size_t kHitsHandedOver = size_t{1} << 16;

class FileSearcher {
 public:
  // Takes the search text for the run's mode. False when the mode is the
  // expression and the text is not a valid one; the run decides what it
  // does then. What a mode needs is built when a file first needs it.
  bool Prepare(bool useRegex, bool caseSensitive, const std::u16string& pattern,
               const std::u16string& xpath) {
    return pattern_.Prepare(useRegex, caseSensitive, pattern, xpath);
  }
  // As `prepared` was prepared, sharing its compiled text and XPath check:
  // each of a run's searchers takes the run's one preparation.
  void PrepareLike(const FileSearcher& prepared) { pattern_.PrepareLike(prepared.pattern_); }
  // Reads every file without a byte-order mark in `everyFile` (kNone: as
  // detected), and the files `perFile` names in their page; `perFile`
  // outlives this, and may be null.
  void ChooseCodePages(CodePage everyFile, const FileCodePages* perFile) {
    window_.ChooseCodePages(everyFile, perFile);
  }
  // After Prepare: only occurrences that begin and end on word boundaries
  // count, in searches and replaces alike.
  void KeepWholeWordsOnly() { pattern_.matcher->KeepWholeWordsOnly(); }
  // Searches take the pages detected for files in earlier runs from `cache`
  // and keep those they detect there; a replace never does, but detects
  // afresh from the bytes it writes back. `cache` outlives this; null for none.
  void UsePageCache(DetectedPageCache* cache) { pageCache_ = cache; }
  // Opens folders together with the run's other searchers; `folders` outlives this.
  void ShareFolders(SharedFolders& folders) { window_.ShareFolders(folders); }

  // Empty when no XPath was given or it compiles; otherwise the XML
  // library's description of the fault. ".xml" files are then searched as
  // plain text, and never replaced.
  const std::optional<XPathFault>& FaultOfXPath() const { return pattern_.xpathFault; }

  // The expression library's description of why the search text is not a
  // valid expression (UTF-8); empty when it compiles.
  const std::string& ExpressionError() const { return pattern_.matcher->ExpressionError(); }

  // A file larger than `wholeUpTo` bytes is searched in pieces of about
  // `pieceBytes` (cut after line feeds) when that finds what a whole-file
  // search finds, so that its memory stays that of a few pieces.
  FileSearchOutcome SearchFile(const AbortFlag& abortRequested, const std::u16string& path,
                               HitList& hits, int contextLength);
  // Searches bytes already in memory (a member of a compressed file) as a
  // file named `displayPath`, its code page detected on its own; its hits
  // carry `container`'s identity, the file the bytes came from. Their file
  // name starts at `nameAt`: an archive's member is listed by the archive's
  // name and its path in it ("docs.zip//d/a.txt"), not as a file of its own.
  FileSearchOutcome SearchBytes(const AbortFlag& abortRequested, const std::u16string& displayPath,
                                size_t nameAt, std::string_view bytes, const FileIdentity& container,
                                HitList& hits, int contextLength);
  // While a file is searched, its hits so far are handed to `outlet`, which
  // takes them from the list, each time `every` are held and none may still
  // be dropped: a file's hits then come in several records, all but the
  // first marked continued. The outlet may wait. Empty for none.
  void HandHitsOver(std::function<void(HitList& hits)> outlet, size_t every = kHitsHandedOver) {
    outlet_ = std::move(outlet);
    handOverEvery_ = every;
  }
  // As SearchBytes, for a member whose bytes past `head` are still to come
  // from `rest`: searched in pieces as they are expanded, so that it is never
  // held whole. Nothing when it must be read whole after all, as a pattern
  // that may match a line feed needs: `restTouched` says whether `rest` was
  // read from meanwhile (which a page shown only past an ASCII head may do).
  std::optional<FileSearchOutcome> SearchStream(const AbortFlag& abortRequested, const std::u16string& displayPath,
                                                size_t nameAt, std::string_view head, PieceStream& rest,
                                                const FileIdentity& container, HitList& hits, int contextLength,
                                                bool& restTouched);
  // Members up to this size are searched whole.
  size_t WholeUpTo() const { return window_.WholeUpTo(); }
  // For tests, which use tiny pieces.
  void SetPieceSizes(size_t pieceBytes, size_t wholeUpTo) {
    window_.SetPieceSizes(pieceBytes, wholeUpTo);
  }

  // What the run looks for, and the window the search moves through each
  // file: a replace of the file takes both (see FileReplacer).
  SearchPattern& Pattern() { return pattern_; }
  FileWindow& Window() { return window_; }

 private:
  // Sets wholeAfterAll_ when the file must be read whole instead.
  FileSearchOutcome SearchInPieces(const AbortFlag& abortRequested, CodePage detected, HitList& hits,
                                   int contextLength);
  // One run of a search in pieces: what the pieces' steps share.
  struct PieceScan {
    PieceScan(const AbortFlag& abort, HitList& list, int context, CodePage page)
        : abortRequested(abort), hits(list), contextLength(context), detected(page) {}
    const AbortFlag& abortRequested;
    HitList& hits;
    int contextLength;
    CodePage detected;
    size_t width = 0;
    size_t rightRoom = 0;
    size_t heldRoom = 0;
    bool asciiTransparent = false;
    const ByteFinder* asciiFinder = nullptr;
    bool bytesExpression = false;
    std::deque<size_t> cuts;  // ends of the pieces held but not searched yet, in the whole text
    size_t searchedTo = 0;
    bool atStart = true;
    bool atEnd = false;
  };
  // The next piece, `cut` bytes at the front of the window's raw bytes, held
  // and searched as far as its hits' contexts are held; an outcome when the file ends there.
  std::optional<FileSearchOutcome> SearchPiece(PieceScan& scan, size_t cut);
  // Searches the held text from scan.searchedTo to `to`, which it then is.
  Matcher::ScanEnd SearchHeldTo(PieceScan& scan, size_t to);
  FileSearchOutcome PiecesEnded(const PieceScan& scan, Matcher::ScanEnd end) const;
  // While the page is only guessed from an ASCII head, settles it at the
  // first byte from 0x80 up, or before, when hits must go out.
  std::optional<FileSearchOutcome> SettleGuessedPage(PieceScan& scan, std::string_view piece, bool ascii);
  // The page guessed from an ASCII head checked against the bytes at the
  // first byte from 0x80 up: a search from the start again when they read
  // otherwise, or none at all.
  std::optional<FileSearchOutcome> SettlePage(PieceScan& scan, std::string_view sample);
  FileSearchOutcome SearchLoaded(const AbortFlag& abortRequested, CodePage detected,
                                 HitList& hits, int contextLength);
  // A new file's hits start a record of their own.
  void StartHits() {
    hitFile_ = nullptr;
    handedOver_ = false;
  }
  void MakeHit(HitList& hits, size_t position, size_t length, int contextLength);
  // The file's contexts narrowed to one byte a unit when all of them are ASCII.
  void FinishFileHits();
  // The hits so far to the outlet; the next hit starts a continued record.
  void HandOver(HitList& hits);
  // For an ".xml" file with an XPath: its selected nodes' text into the window.
  // False when the file is to be read as plain text.
  bool LoadXmlText(std::string_view bytes);
  FileSearchOutcome Finish(Matcher::ScanEnd end, const AbortFlag& abortRequested) const;

  SearchPattern pattern_;
  FileWindow window_;
  FileIdentity searched_;  // the file being searched, as it was read
  bool searchedKnown_ = false;  // whether searched_ is that file's
  DetectedPageCache* pageCache_ = nullptr;
  // The current file's record once it has a hit, and the stretch of its text
  // that the end of the context buffer holds, so overlapping contexts share it.
  HitFile* hitFile_ = nullptr;
  size_t stretchTextStart_ = 0;
  size_t stretchTextEnd_ = 0;
  size_t stretchBufferStart_ = 0;
  std::function<void(HitList&)> outlet_;
  size_t handOverEvery_ = kHitsHandedOver;
  bool handedOver_ = false;  // some of the current file's hits went out already
  bool wholeAfterAll_ = false;
};

}  // namespace trawlscope
