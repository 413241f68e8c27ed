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

class FileWindow {
 public:
  // The file read into its bytes and its code page detected.
  struct Loaded {
    FileSearchOutcome::Kind kind = FileSearchOutcome::Kind::Searched;
    int error = 0;
    CodePage detected = codepage::kNone;
    bool identityTaken = false;
  };

  // For the run: see FileSearcher, whose settings these are.
  void ChooseCodePages(CodePage everyFile, const FileCodePages* perFile) {
    everyFilePage_ = everyFile;
    perFilePages_ = perFile;
  }
  void ShareFolders(SharedFolders& folders) { folderCursor_.Share(folders); }
  void SetPieceSizes(size_t pieceBytes, size_t wholeUpTo) {
    pieceBytes_ = pieceBytes;
    wholeUpTo_ = wholeUpTo;
  }
  size_t PieceBytes() const { return pieceBytes_; }
  size_t WholeUpTo() const { return wholeUpTo_; }
  // Whether the next file's page may be guessed from an ASCII head (see
  // PagePending): only when its hits can still be dropped.
  void MayGuessPage(bool may) { mayGuessPage_ = may; }

  // With `mayUsePieces`, a large file may be left open in Pieces() instead.
  // With `cache`, an auto-detected page may come from it (keyed by `identity`).
  // With `identityForHits`, `identity` is taken only of a file that may hold a hit.
  Loaded Load(SearchPattern& pattern, const AbortFlag& abortRequested, const std::u16string& path,
              FileIdentity* identity = nullptr, bool mayUsePieces = false, DetectedPageCache* cache = nullptr,
              bool identityForHits = false);
  // The code page of the file open in Pieces(), from the same bytes a whole
  // read would show the detector; the bytes read so far stay unread. An
  // ASCII head leaves it pending (PagePending) when the page may be guessed.
  Loaded StartPieces(const AbortFlag& abortRequested);
  void StartFile(const std::u16string& path);
  // A member named by its archive's name and its path in it, from `nameAt`.
  void StartMember(const std::u16string& displayPath, size_t nameAt);
  // After StartMember: the member's bytes in memory, searched in place of a
  // file's until EndMemberBytes or the next start.
  void StartMemberBytes(std::string_view bytes);
  void EndMemberBytes() { memberBytes_ = {}; }
  // The page the user chose for the current file, whose first bytes are
  // `start` (a byte-order mark wins); kNone when the detector is to say.
  CodePage ChosenCodePage(std::string_view start) const;
  // The page to read the current file's `sample` in: the chosen one, else
  // UTF-8 for plain ASCII, else the detector's (FirstHighByte set), which
  // `cache` may remember for the file as `identity` shows it.
  CodePage PageOf(std::string_view sample, bool plainAscii, DetectedPageCache* cache = nullptr,
                  const FileIdentity* identity = nullptr) const;
  void ReleaseOversizedText();
  // After a failed allocation: every buffer goes, so the run can go on.
  void ReleaseMemory();

  // The current file.
  const std::u16string& Folder() const { return folder_; }
  const std::u16string& FileName() const { return fileName_; }
  CodePage Page() const { return codePage_; }
  void UsePage(CodePage page) { codePage_ = page; }
  bool HadBom() const { return hadBom_; }
  bool Undecodable() const { return undecodable_; }
  // Of the file's bytes as read; their size when none is from 0x80 up.
  size_t FirstHighByte() const { return firstHighByte_; }
  // What was seen of the search text as the bytes arrived.
  const ArrivalScan& Arrival() const { return arrival_; }
  // The bytes of the file read whole, or of the member in memory.
  std::string_view Bytes() const { return memberBytes_.data() != nullptr ? memberBytes_ : bytes_.Bytes(); }
  // Lets go of the file's bytes, their memory kept for the next.
  void LetGoOfBytes() { bytes_.Clear(); }

  // The text a whole file is decoded into and scanned in.
  std::u16string& Text() { return text_; }
  // Decodes Bytes() in `page` into Text(), noting a mark and undecodable bytes.
  void DecodeBytes(CodePage page);
  // While an ASCII file is scanned as bytes, contexts and lines come from `ascii`.
  void ScanAsciiBytes(std::string_view ascii) { asciiText_ = ascii; }

  // The file left open to be read a piece of lines at a time.
  FileInPieces& Pieces() { return pieces_; }
  // Cuts the next piece from the bytes read but not yet cut, reading more
  // as needed; its length, or -1 with errno set.
  long long NextPiece(CodePage page, bool& atEnd);
  // The bytes read but not yet cut, the next piece first, and where they
  // start in the file.
  std::string_view Unread() const { return raw_.View(); }
  unsigned long long UnreadOffset() const { return pieces_.Position() - raw_.size(); }
  // Reads `count` more bytes after the unread; how many came, or -1 with errno set.
  long long ReadMore(size_t count) { return pieces_.ReadMore(raw_, count); }
  void DropPiece(size_t length) { raw_.DropFront(length); }
  // Reads the pieces from the start again; false with errno set.
  bool RewindPieces();
  // The file's first kDetectionSampleBytes, read in pieces.
  const std::string& Head() const { return head_; }
  // The page is guessed as UTF-8 (that of a file without a byte from 0x80
  // up) until the first such byte shows it, when the hits so far can be
  // dropped: the file is read once, not once to find that byte and again.
  bool PagePending() const { return pagePending_; }
  void SettlePendingPage() { pagePending_ = false; }
  // A piece's text, decoded on its own; its memory is kept.
  std::u16string& PieceText() { return decoded_; }
  // Why lines let go uncounted could not be counted again; 0 when they could.
  int RecountError() const { return recountError_; }

  // While the page is only guessed, the first byte from 0x80 up looked for
  // past what was read, its sample into `sample` (empty when there is none),
  // so that hits may be handed over before it comes; false with errno set.
  bool LookAheadForHighByte(std::string& sample);
  size_t HeldSize() const { return heldNarrow_ ? heldBytes_.size() : text_.size(); }
  // Where the held text ends, in units of the whole text.
  size_t HeldEnd() const { return textBase_ + HeldSize(); }
  // The held text is ASCII bytes, not yet widened: see HeldAscii.
  bool HeldNarrow() const { return heldNarrow_; }
  // The held text from `start` to `end`, positions of the whole text.
  std::u16string_view HeldText(size_t start, size_t end) const {
    return std::u16string_view(text_).substr(start - textBase_, end - start);
  }
  std::string_view HeldAscii(size_t start, size_t end) const {
    return std::string_view(heldBytes_).substr(start - textBase_, end - start);
  }
  // Contexts may reach as far as `end` of the whole text.
  void LetContextsReach(size_t end) { textEnd_ = end; }
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
    return inPieces_ ? textEnd_ : asciiText_.data() != nullptr ? asciiText_.size() : text_.size();
  }
  // Appends `length` units of the current text from `start`, wherever it is
  // held, to `to`: no string of its own for each hit.
  void AppendSubstring(std::u16string& to, size_t start, size_t length) const;

 private:
  // The file and how to read it.
  std::u16string folder_;
  std::string nativeFolder_;
  std::u16string fileName_;
  FolderCursor folderCursor_;
  CodePage everyFilePage_ = codepage::kNone;
  const FileCodePages* perFilePages_ = nullptr;
  ArrivalScan arrival_;
  size_t firstHighByte_ = 0;
  CodePage codePage_ = codepage::kNone;
  bool hadBom_ = false;
  bool undecodable_ = false;  // its page stood in for some of its bytes

  FileBuffer bytes_;  // the raw bytes of the file, kept for the next one
  std::string_view memberBytes_;  // while a member in memory is searched, its bytes instead
  std::u16string text_;
  std::string_view asciiText_;  // while an ASCII file is scanned as bytes, its text
  // The current file's line counter once it has a hit, over the text scanned.
  std::optional<LineCounter<char>> asciiLines_;
  std::optional<LineCounter<char16_t>> textLines_;

  // A file read in pieces: `text_` (`heldBytes_` while every piece was
  // ASCII, which is then not widened) holds its text from `textBase_` on, and
  // contexts may reach as far as `textEnd_`.
  FileInPieces pieces_;
  size_t pieceBytes_ = 1u << 20;
  size_t wholeUpTo_ = 2u << 20;
  bool inPieces_ = false;
  bool heldNarrow_ = false;
  std::string heldBytes_;
  size_t textBase_ = 0;
  size_t textEnd_ = 0;
  std::int64_t linesBefore_ = 0;  // line breaks before `linesCounted_`, but for `uncounted_`
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
  bool mayGuessPage_ = false;
  bool pagePending_ = false;
};

}  // namespace trawlscope
