#pragma once
// The per-run search engine: prepared once with the search text and mode, it
// loads each file's searchable text and turns every occurrence into a Hit.
// Lives on the worker thread for exactly one run.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/CodePageTable.h"
#include "platform/detectcache/DetectedPageCache.h"
#include "platform/files/FileReader.h"
#include "platform/files/SafeFileWriter.h"
#include "platform/journal/RunJournal.h"
#include "search/AbortFlag.h"
#include "search/hits/HitList.h"
#include "search/SearchRequest.h"
#include "search/review/HitSelection.h"
#include "search/matching/ArrivalScan.h"
#include "search/matching/LineCounter.h"
#include "search/matching/Matcher.h"
#include "search/matching/RawPrefilter.h"
#include "search/review/ReplaceOutcome.h"
#include "search/review/ReplacedFiles.h"
#include "search/text/TextEdits.h"

namespace trawlscope {

// A file's hits are handed over this many at a time: a chunk of packed records.
inline constexpr size_t kHitsHandedOver = size_t{1} << 16;

struct FileSearchOutcome {
  enum class Kind {
    Searched,
    Aborted,
    MatchError,  // the expression was too complex for this file's text; earlier hits stand
    Binary,      // not text: never searched
    Unreadable,  // could not be read (or held in memory): `error` says why
  };
  Kind kind = Kind::Searched;
  int error = 0;  // Unreadable: the errno
};

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

class FileSearcher {
 public:
  // Takes the search text for the run's mode. False when the mode is the
  // expression and the text is not a valid one; the run decides what it
  // does then. What a mode needs is built when a file first needs it.
  bool Prepare(bool useRegex, bool caseSensitive, const std::u16string& pattern,
               const std::u16string& xpath);
  // As `prepared` was prepared, sharing its compiled text and XPath check:
  // each of a run's searchers takes the run's one preparation.
  void PrepareLike(const FileSearcher& prepared);
  // Reads every file without a byte-order mark in `everyFile` (kNone: as
  // detected), and the files `perFile` names in their page; `perFile`
  // outlives this, and may be null.
  void ChooseCodePages(CodePage everyFile, const FileCodePages* perFile) {
    everyFilePage_ = everyFile;
    perFilePages_ = perFile;
  }
  // After Prepare: only occurrences that begin and end on word boundaries
  // count, in searches and replaces alike.
  void KeepWholeWordsOnly() { matcher_->KeepWholeWordsOnly(); }
  // Searches take the pages detected for files in earlier runs from `cache`
  // and keep those they detect there; a replace never does, but detects
  // afresh from the bytes it writes back. `cache` outlives this; null for none.
  void UsePageCache(DetectedPageCache* cache) { pageCache_ = cache; }
  // Opens folders together with the run's other searchers; `folders` outlives this.
  void ShareFolders(SharedFolders& folders) { folderCursor_.Share(folders); }

  // Empty when no XPath was given or it compiles; otherwise the XML
  // library's description of the fault. ".xml" files are then searched as
  // plain text, and never replaced.
  const std::string& XPathError() const { return xpathError_; }

  // The expression library's description of why the search text is not a
  // valid expression (UTF-8); empty when it compiles.
  const std::string& ExpressionError() const { return matcher_->ExpressionError(); }

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
  size_t WholeUpTo() const { return wholeUpTo_; }
  // For tests, which use tiny pieces.
  void SetPieceSizes(size_t pieceBytes, size_t wholeUpTo) {
    pieceBytes_ = pieceBytes;
    wholeUpTo_ = wholeUpTo;
  }

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
  // The file read into bytes_ and its code page detected.
  struct Loaded {
    FileSearchOutcome::Kind kind = FileSearchOutcome::Kind::Searched;
    int error = 0;
    CodePage detected = codepage::kNone;
    bool identityTaken = false;
  };
  // With `mayUsePieces`, a large file may be left open in pieces_ instead.
  // With `cache`, an auto-detected page may come from it (keyed by `identity`).
  // With `identityForHits`, `identity` is taken only of a file that may hold a hit.
  Loaded ReadAndDetect(const AbortFlag& abortRequested, const std::u16string& path,
                       FileIdentity* identity = nullptr, bool mayUsePieces = false,
                       DetectedPageCache* cache = nullptr, bool identityForHits = false);
  // The code page of the file open in pieces_, from the same bytes a whole
  // read would show the detector; raw_ holds the bytes read so far. An ASCII
  // head leaves it pending (pagePending_) when mayGuessPage_.
  Loaded StartPieces(const AbortFlag& abortRequested);
  // The page the user chose for the current file, whose first bytes are
  // `head` (a byte-order mark wins); kNone when the detector is to say.
  CodePage ChosenCodePage(std::string_view head) const;
  // The page to read the current file's `bytes` in: the chosen one, else
  // UTF-8 for plain ASCII, else the detector's (firstHighByte_ set), which
  // `cache` may remember for the file as `identity` shows it.
  CodePage PageOf(std::string_view bytes, bool plainAscii, DetectedPageCache* cache = nullptr,
                  const FileIdentity* identity = nullptr) const;
  // Whether no match (nor anything it looks at) can hold a line feed, and
  // the file's text may so be searched a piece of lines at a time.
  bool PatternFitsPieces() const;
  // Sets wholeAfterAll_ when the file must be read whole instead.
  FileSearchOutcome SearchInPieces(const AbortFlag& abortRequested, CodePage detected, HitList& hits,
                                   int contextLength);
  // The line of `position` (of the whole text) while searching in pieces;
  // positions only grow, and the held text holds everything from the last one asked.
  std::int64_t PieceLineOf(size_t position);
  // Counts the line breaks of the held text up to `position`.
  void CountHeldLinesTo(size_t position);
  // Counts the breaks of the pieces let go uncounted, reading them again.
  void CountSkippedLines();
  size_t HeldSize() const { return heldNarrow_ ? heldBytes_.size() : text_.size(); }
  void AppendHeldAscii(std::string_view ascii);
  FileSearchOutcome SearchLoaded(const AbortFlag& abortRequested, CodePage detected,
                                 HitList& hits, int contextLength);
  FileReplaceOutcome ReplaceLoaded(const AbortFlag& abortRequested, const std::u16string& path,
                                   CodePage detected, const FileIdentity& asRead,
                                   const std::u16string& replacementText, const ReplaceScope& scope);
  // A file left open in pieces_, written back a piece at a time.
  FileReplaceOutcome ReplaceInPieces(const AbortFlag& abortRequested, const std::u16string& path, CodePage detected,
                                     const FileIdentity& asRead, const std::u16string& replacementText,
                                     const ReplaceScope& scope);
  FileReplaceOutcome ReplaceXml(const AbortFlag& abortRequested, const std::u16string& path,
                                const FileIdentity& asRead, const std::u16string& replacementText,
                                const ReplaceScope& scope);
  // The picked occurrences' edits of text_, or why the file must stay as it is.
  FileReplaceOutcome CollectSelected(const AbortFlag& abortRequested, const SelectedFile& only,
                                     const std::u16string& replacementText, TextEdits& edits);
  // The new bytes written over the file, its original kept first when the run has a journal.
  FileReplaceOutcome WriteReplaced(const std::u16string& path, std::string_view newBytes,
                                   const FileIdentity& asRead, size_t replacements, const ReplaceScope& scope);
  void MakeHit(HitList& hits, size_t position, size_t length, int contextLength);
  // The file's contexts narrowed to one byte a unit when all of them are ASCII.
  void FinishFileHits();
  // The hits so far to the outlet; the next hit starts a continued record.
  void HandOver(HitList& hits);
  // While the page is only guessed, the first byte from 0x80 up looked for
  // past what was read, its sample into `sample` (empty when there is none),
  // so that hits may be handed over before it comes; false with errno set.
  bool LookAheadForHighByte(std::string& sample);
  void StartFile(const std::u16string& path);
  // A member named by its archive's name and its path in it, from `nameAt`.
  void StartMember(const std::u16string& displayPath, size_t nameAt);
  void ReleaseOversizedText();
  // For an ".xml" file with an XPath: its selected nodes' text into text_.
  // False when the file is to be read as plain text.
  bool LoadXmlText(std::string_view bytes);
  bool IsXmlWithXPath() const;
  FileSearchOutcome Finish(Matcher::ScanEnd end, const AbortFlag& abortRequested) const;
  // Appends `length` units of the current text from `start`, wherever it is
  // held, to `to`: no string of its own for each hit.
  void AppendSubstring(std::u16string& to, size_t start, size_t length) const;
  RawPrefilter& Prefilter();

  MatchMode mode_ = MatchMode::Exact;
  bool hasPattern_ = false;
  FileIdentity searched_;  // the file being searched, as it was read
  bool searchedKnown_ = false;  // whether searched_ is that file's
  std::u16string text_;
  std::string_view asciiText_;  // while an ASCII file is scanned as bytes, its text
  FolderCursor folderCursor_;
  FileBuffer bytes_;  // the raw bytes of the file being searched, kept for the next one
  std::string_view memberBytes_;  // while SearchBytes runs, the bytes it searches instead
  std::unique_ptr<Matcher> matcher_;
  std::unique_ptr<RawPrefilter> prefilter_;
  std::u16string xpath_;
  std::string xpathError_;
  std::u16string folder_;
  std::string nativeFolder_;
  size_t firstHighByte_ = 0;  // of the file's bytes as read
  ArrivalScan arrival_;
  std::u16string fileName_;
  // The current file's line counter once it has a hit, over the text scanned.
  std::optional<LineCounter<char>> asciiLines_;
  std::optional<LineCounter<char16_t>> textLines_;
  CodePage fileCodePage_ = codepage::kNone;
  bool fileHadBom_ = false;
  bool fileUndecodable_ = false;  // its page stood in for some of its bytes
  CodePage everyFilePage_ = codepage::kNone;
  const FileCodePages* perFilePages_ = nullptr;
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

  // A file searched in pieces: text_ (heldBytes_ while every piece was
  // ASCII, which is then not widened) holds its text from textBase_ on, and
  // contexts may reach as far as textEnd_.
  FileInPieces pieces_;
  size_t pieceBytes_ = 1u << 20;
  size_t wholeUpTo_ = 2u << 20;
  bool inPieces_ = false;
  bool heldNarrow_ = false;
  std::string heldBytes_;
  size_t textBase_ = 0;
  size_t textEnd_ = 0;
  std::int64_t linesBefore_ = 0;  // line breaks (runs) before linesCounted_, but for uncounted_
  size_t linesCounted_ = 0;
  // Pieces that could hold no match, let go with their lines not counted:
  // a file without hits never needs them. Offset in the file and length.
  struct Uncounted {
    unsigned long long offset;
    size_t count;
  };
  std::vector<Uncounted> uncounted_;
  int recountError_ = 0;
  PieceRoom raw_;        // bytes read but not yet cut into pieces
  std::string head_;     // the file's first kDetectionSampleBytes
  std::u16string decoded_;
  // The page is guessed as UTF-8 (that of a file without a byte from 0x80
  // up) until the first such byte shows it, when the hits so far can be
  // dropped: the file is read once, not once to find that byte and again.
  bool mayGuessPage_ = false;
  bool pagePending_ = false;
  bool wholeAfterAll_ = false;
};

}  // namespace trawlscope
