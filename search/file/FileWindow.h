#pragma once
// The window over one file at a time: its bytes, read whole or left open to
// be read a piece of lines at a time, its code page, and the text the
// search scans, which in pieces holds only what contexts may still reach,
// with the line breaks counted before it. The per-file searcher and the
// replacer each move it through a file; it keeps its memory for the next.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/CodePageTable.h"
#include "platform/detectcache/DetectedPageCache.h"
#include "platform/files/FileInPieces.h"
#include "platform/files/FileReader.h"
#include "search/AbortFlag.h"
#include "search/SearchRequest.h"
#include "search/file/FileSearchOutcome.h"
#include "search/file/SearchPattern.h"
#include "search/matching/scan/ArrivalScan.h"
#include "search/matching/scan/LineCounter.h"

namespace trawlscope {

// Pieces let go uncounted are read again in parts of this size to count
// their lines, as is the rest of a file looked ahead in.
inline constexpr size_t kRecountBytes = 256u << 10;

struct FileWindow {
  // The file read into `bytes` and its code page detected.
  struct Loaded {
    FileSearchOutcome::Kind kind = FileSearchOutcome::Kind::Searched;
    int error = 0;
    CodePage detected = codepage::kNone;
    bool identityTaken = false;
  };
  // With `mayUsePieces`, a large file may be left open in `pieces` instead.
  // With `cache`, an auto-detected page may come from it (keyed by `identity`).
  // With `identityForHits`, `identity` is taken only of a file that may hold a hit.
  Loaded Load(SearchPattern& pattern, const AbortFlag& abortRequested, const std::u16string& path,
              FileIdentity* identity = nullptr, bool mayUsePieces = false, DetectedPageCache* cache = nullptr,
              bool identityForHits = false);
  // The code page of the file open in `pieces`, from the same bytes a whole
  // read would show the detector; `raw` holds the bytes read so far. An ASCII
  // head leaves it pending (`pagePending`) when `mayGuessPage`.
  Loaded StartPieces(const AbortFlag& abortRequested);
  void StartFile(const std::u16string& path);
  // A member named by its archive's name and its path in it, from `nameAt`.
  void StartMember(const std::u16string& displayPath, size_t nameAt);
  // The page the user chose for the current file, whose first bytes are
  // `start` (a byte-order mark wins); kNone when the detector is to say.
  CodePage ChosenCodePage(std::string_view start) const;
  // The page to read the current file's `sample` in: the chosen one, else
  // UTF-8 for plain ASCII, else the detector's (`firstHighByte` set), which
  // `cache` may remember for the file as `identity` shows it.
  CodePage PageOf(std::string_view sample, bool plainAscii, DetectedPageCache* cache = nullptr,
                  const FileIdentity* identity = nullptr) const;
  void ReleaseOversizedText();

  // While the page is only guessed, the first byte from 0x80 up looked for
  // past what was read, its sample into `sample` (empty when there is none),
  // so that hits may be handed over before it comes; false with errno set.
  bool LookAheadForHighByte(std::string& sample);
  size_t HeldSize() const { return heldNarrow ? heldBytes.size() : text.size(); }
  void AppendHeldAscii(std::string_view ascii);
  // Counts the line breaks of the held text up to `position`.
  void CountHeldLinesTo(size_t position);
  // Counts the breaks of the pieces let go uncounted, reading them again.
  void CountSkippedLines();
  // The line of `position` (of the whole text) while searching in pieces;
  // positions only grow, and the held text holds everything from the last one asked.
  std::int64_t PieceLineOf(size_t position);

  // Starts holding a file's text a piece at a time: as its bytes while
  // they are ASCII of a page that reads ASCII as ASCII (`narrow`), with room
  // for `room` units.
  void StartHolding(bool narrow, size_t room);
  // Holds a piece's text after what is held; `atStart` for the file's first.
  void HoldPiece(std::string_view piece, bool ascii, bool atStart, CodePage page, size_t room);
  // Of a piece that cannot hold a match, holds only its head up to
  // `rightRoom` and a unit past it; the position where the piece starts.
  size_t HoldHeadOf(std::string_view piece, size_t rightRoom);
  // Then lets the piece from `start` go but for its last `tail` units, its
  // lines counted now or noted to count later; where the piece ends.
  size_t HoldTailOf(std::string_view piece, size_t start, size_t tail);
  // Lets go what no later hit's left context (`width` before `searchedTo`)
  // reaches, once it is most of what is held.
  void LetGoBehind(size_t searchedTo, size_t width);

  // The line of `position` in the text scanned, its counter started at the first asked.
  std::int64_t LineOf(size_t position);
  // How far the text scanned reaches, and contexts with it.
  size_t TextSize() const {
    return inPieces ? textEnd : asciiText.data() != nullptr ? asciiText.size() : text.size();
  }
  // Appends `length` units of the current text from `start`, wherever it is
  // held, to `to`: no string of its own for each hit.
  void AppendSubstring(std::u16string& to, size_t start, size_t length) const;

  // The file and how to read it.
  std::u16string folder;
  std::string nativeFolder;
  std::u16string fileName;
  FolderCursor folderCursor;
  CodePage everyFilePage = codepage::kNone;
  const FileCodePages* perFilePages = nullptr;
  ArrivalScan arrival;
  size_t firstHighByte = 0;  // of the file's bytes as read
  CodePage codePage = codepage::kNone;
  bool hadBom = false;
  bool undecodable = false;  // its page stood in for some of its bytes

  FileBuffer bytes;  // the raw bytes of the file, kept for the next one
  std::string_view memberBytes;  // while a member in memory is searched, its bytes instead
  std::u16string text;
  std::string_view asciiText;  // while an ASCII file is scanned as bytes, its text
  // The current file's line counter once it has a hit, over the text scanned.
  std::optional<LineCounter<char>> asciiLines;
  std::optional<LineCounter<char16_t>> textLines;

  // A file read in pieces: `text` (`heldBytes` while every piece was
  // ASCII, which is then not widened) holds its text from `textBase` on, and
  // contexts may reach as far as `textEnd`.
  FileInPieces pieces;
  size_t pieceBytes = 1u << 20;
  size_t wholeUpTo = 2u << 20;
  bool inPieces = false;
  bool heldNarrow = false;
  std::string heldBytes;
  size_t textBase = 0;
  size_t textEnd = 0;
  std::int64_t linesBefore = 0;  // line breaks before `linesCounted`, but for `uncounted`
  size_t linesCounted = 0;
  // Pieces that could hold no match, let go with their lines not counted:
  // a file without hits never needs them. Offset in the file and length.
  struct Uncounted {
    unsigned long long offset;
    size_t count;
  };
  std::vector<Uncounted> uncounted;
  int recountError = 0;
  PieceRoom raw;        // bytes read but not yet cut into pieces
  std::string head;     // the file's first kDetectionSampleBytes
  std::u16string decoded;
  // The page is guessed as UTF-8 (that of a file without a byte from 0x80
  // up) until the first such byte shows it, when the hits so far can be
  // dropped: the file is read once, not once to find that byte and again.
  bool mayGuessPage = false;
  bool pagePending = false;
};

}  // namespace trawlscope
