// A file searched in pieces gives exactly the hits of the whole-file search:
// the same positions, lines and contexts, wherever the pieces end.
#include <gtest/gtest.h>

#include "search/file/FileSearcher.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;

// Each hit as one line: line, position, length, contexts, keyword and page.
// With `handOverEvery`, the hits so far go out that many at a time.
std::vector<std::u16string> Hits(const std::string& path, const std::u16string& pattern, bool regex, bool caseSensitive,
                                 size_t pieceBytes, size_t wholeUpTo, size_t handOverEvery = 0) {
  FileSearcher searcher;
  searcher.Prepare(regex, caseSensitive, pattern, u"");
  searcher.SetPieceSizes(pieceBytes, wholeUpTo);
  HitList all;
  if (handOverEvery > 0) searcher.HandHitsOver([&](HitList& part) { all.Take(std::move(part)); }, handOverEvery);
  HitList hits;
  const AbortFlag never{false};
  EXPECT_EQ(searcher.SearchFile(never, U16(path), hits, 4).kind, FileSearchOutcome::Kind::Searched);
  all.Take(std::move(hits));
  std::vector<std::u16string> lines;
  for (const Hit& hit : all) {
    const std::string numbers = std::to_string(hit.line) + " " + std::to_string(hit.position) + " " +
                                std::to_string(hit.length) + " " + std::to_string(hit.FileCodePage()) + " ";
    lines.push_back(U16(numbers) + hit.LeftContext() + u"[" + hit.Keyword() + u"]" + hit.RightContext());
  }
  return lines;
}

struct PiecesCase {
  const char* encoding;  // ICU's name; a byte-order mark is written for UTF-16
  std::string text;      // UTF-8
  std::u16string pattern;
  bool regex = false;
  bool caseSensitive = true;
};

// Breaks in runs (CR LF, LF CR, blank lines) that pieces cut after any
// line feed split, characters of two to four bytes, hits at a line's start
// and end, a line longer than several pieces.
const std::string kLines =
    "関数の名前\r\n\r\nneedle 関数\n\r\n 関数needle関数\r\r\n" + std::string(40, 'x') + "関数" +
    std::string(40, 'y') + "\n\n\nNeedle_one and Needle_two ｱ関数\nend 関数";
// With a character of four UTF-8 bytes, a surrogate pair in UTF-16.
const std::string kWideLines = kLines + "\n\xF0\x9F\x98\x80関数\xF0\x9F\x98\x80";

std::string Repeated(const std::string& text, int times) {
  std::string all;
  while (times-- > 0) all += text;
  return all;
}

// Long ASCII lines without a hit, which are not decoded but counted, between hits
// whose contexts reach into them.
const std::string kAsciiLines = "needle at the start\n" + std::string(70, 'a') + "\r\n\n" + std::string(50, 'b') +
                                "\n\rx needle_one\n" + std::string(90, 'c') + "\nneedle\n\n" + Repeated("no\n", 15) + std::string(30, 'd') +
                                "\r\nlast needle";

TEST(SearchInPieces, EveryPieceSizeGivesTheWholeFilesHits) {
  const PiecesCase cases[] = {
      {"UTF-8", kWideLines, u"関数"},
      {"windows-31j", kLines, u"関数"},
      {"EUC-JP", kLines, u"関数"},
      {"UTF-16LE", kWideLines, u"関数"},
      {"UTF-16BE", kWideLines, u"needle"},
      {"UTF-8", kLines, u"NEEDLE", false, false},
      {"UTF-8", kLines, u"[A-Z][a-z]+_[a-z]+", true},
      {"windows-31j", kLines, u"\\b関数\\w*", true},
      {"UTF-8", kLines, u"(?i)^needle", true},
      // A match may hold a line feed: read whole, and still the same hits.
      {"UTF-8", kLines, u"関数\\s+end", true},
      {"UTF-8", kLines, u"\n\n\nN"},
      {"UTF-8", kAsciiLines, u"needle"},
      {"windows-31j", kAsciiLines, u"NEEDLE", false, false},
      {"UTF-8", kAsciiLines, u"[a-z]+_one", true},
  };
  TempTree tree;
  for (const PiecesCase& c : cases) {
    std::string bytes = Transcode(c.text, c.encoding);
    if (std::string(c.encoding) == "UTF-16LE") bytes = "\xFF\xFE" + bytes;
    if (std::string(c.encoding) == "UTF-16BE") bytes = "\xFE\xFF" + bytes;
    const std::string path = tree.Write("t.txt", bytes);
    const auto whole = Hits(path, c.pattern, c.regex, c.caseSensitive, 1u << 20, ~size_t{0});
    EXPECT_FALSE(whole.empty()) << c.encoding << " " << test::U8(c.pattern);
    for (size_t piece = 1; piece <= 24; ++piece) {
      EXPECT_EQ(Hits(path, c.pattern, c.regex, c.caseSensitive, piece, 0), whole)
          << c.encoding << " " << test::U8(c.pattern) << ", pieces of " << piece;
      EXPECT_EQ(Hits(path, c.pattern, c.regex, c.caseSensitive, piece, 0, 2), whole)
          << c.encoding << " " << test::U8(c.pattern) << ", pieces of " << piece << ", handed over";
    }
  }
}

// The detector sees what it sees of a whole file: the head, or, past an
// ASCII head, the bytes from the first one from 0x80 up.
TEST(SearchInPieces, ACodePageShowingOnlyPastTheHeadIsDetectedAsForTheWholeFile) {
  TempTree tree;
  const std::string path =
      tree.Write("late.txt", std::string(30000, 'a') + "\n" + Transcode("関数です。" + kLines, "EUC-JP"));
  const auto whole = Hits(path, u"関数", false, true, 1u << 20, ~size_t{0});
  ASSERT_EQ(whole.size(), 8u);
  EXPECT_EQ(Hits(path, u"関数", false, true, 4096, 0), whole);
}

// An ASCII head leaves the page to the first byte from 0x80 up, read with
// the pieces: a hit before it gets the page that byte shows, as in a whole read.
TEST(SearchInPieces, HitsBeforeALateCodePageGetThatPage) {
  TempTree tree;
  const std::string path = tree.Write(
      "late.txt", "needle first\n" + std::string(30000, 'a') + "\n" + Transcode("関数です。" + kLines, "EUC-JP"));
  const auto pageOf = [&](size_t pieceBytes, size_t wholeUpTo) {
    FileSearcher searcher;
    searcher.Prepare(false, true, u"needle", u"");
    searcher.SetPieceSizes(pieceBytes, wholeUpTo);
    HitList hits;
    const AbortFlag never{false};
    EXPECT_EQ(searcher.SearchFile(never, U16(path), hits, 4).kind, FileSearchOutcome::Kind::Searched);
    return hits.size() > 0 ? hits[0].FileCodePage() : codepage::kNone;
  };
  const auto whole = Hits(path, u"needle", false, true, 1u << 20, ~size_t{0});
  ASSERT_EQ(whole.size(), 3u);
  for (size_t piece : {size_t{7}, size_t{4096}, size_t{1} << 20}) {
    EXPECT_EQ(Hits(path, u"needle", false, true, piece, 0), whole) << piece;
    // Handed over before that byte is read, they get its page all the same.
    EXPECT_EQ(Hits(path, u"needle", false, true, piece, 0, 1), whole) << piece;
  }
  EXPECT_EQ(pageOf(4096, 0), pageOf(1u << 20, ~size_t{0}));
  EXPECT_NE(pageOf(4096, 0), codepage::kUtf8);
}

}  // namespace
}  // namespace trawlscope
