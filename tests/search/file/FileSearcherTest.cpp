#include "search/file/FileSearcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "platform/codepage/CodePageTable.h"
#include "platform/files/FileReader.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;

class FileSearcherTest : public testing::Test {
 protected:
  TempTree tree;
  AbortFlag abort{false};
  HitList hits;

  void Search(const std::string& relative, const std::u16string& pattern, bool useRegex = false,
              bool caseSensitive = true, int contextLength = 30) {
    FileSearcher searcher;
    searcher.Prepare(useRegex, caseSensitive, pattern, u"");
    searcher.SearchFile(abort, U16(tree.Path(relative)), hits, contextLength);
  }
};

TEST_F(FileSearcherTest, HitCarriesFileContextsLineAndPosition) {
  tree.Write("dir/a.txt", "first line\r\nsecond keyword here\n");
  Search("dir/a.txt", u"keyword");
  ASSERT_EQ(hits.size(), 1u);
  const Hit& hit = hits[0];
  EXPECT_EQ(hit.Folder(), U16(tree.Path("dir/")));
  EXPECT_EQ(hit.FileName(), u"a.txt");
  EXPECT_EQ(hit.LeftContext(), u"first line\r\nsecond ");
  EXPECT_EQ(hit.Keyword(), u"keyword");
  EXPECT_EQ(hit.RightContext(), u" here\n");
  EXPECT_EQ(hit.line, 2);
  EXPECT_EQ(hit.position, 19);
  EXPECT_EQ(hit.length, 7);
}

// Large files are looked at piece by piece as they are read: an occurrence
// across the boundary of two pieces is found, in either case mode, and one
// in a file whose non-ASCII bytes come only near its end (a file not read
// as UTF-8 alone) is found too.
TEST_F(FileSearcherTest, LargeFilesAreSearchedWholeWhereverThePiecesEnd) {
  constexpr size_t kPiece = 256u << 10;
  const std::string head(kPiece - 4, 'x');
  tree.Write("across.txt", head + "needle" + std::string(kPiece, 'y') + "\n");
  Search("across.txt", u"needle");
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].position, static_cast<std::int64_t>(kPiece - 4));
  Search("across.txt", u"NEEDLE", false, false);
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[1].Keyword(), u"needle");

  tree.Write("latin1.txt", head + "needle" + std::string(3 * kPiece, 'y') + "\xE9t\xE9\n");
  Search("latin1.txt", u"needle");
  ASSERT_EQ(hits.size(), 3u);
  EXPECT_EQ(hits[2].position, static_cast<std::int64_t>(kPiece - 4));
  tree.Write("none.txt", std::string(3 * kPiece, 'n') + "eedl");
  Search("none.txt", u"needle");
  EXPECT_EQ(hits.size(), 3u);
}

// The bytes of a large ASCII file are let go as it is read, as long as they
// hold neither the search text nor a byte from 0x80 up. An occurrence across
// any piece's end is still found; a late occurrence, a late non-ASCII byte or
// an escape sequence of a seven-bit page in the head has the file read whole.
TEST_F(FileSearcherTest, LateOccurrencesAndLateNonAsciiBytesOfLargeAsciiFilesAreFound) {
  constexpr size_t kPiece = 64u << 10;
  size_t expected = 0;
  for (const size_t at : {5 * kPiece - 3, 7 * kPiece - 1, 7 * kPiece, 9 * kPiece + 17}) {
    tree.Write("late.txt", std::string(at, 'x') + "needle" + std::string(kPiece, 'y') + "\n");
    Search("late.txt", u"needle");
    ASSERT_EQ(hits.size(), ++expected) << at;
    EXPECT_EQ(hits[expected - 1].position, static_cast<std::int64_t>(at));
    Search("late.txt", u"NEEDLE", false, false);
    ASSERT_EQ(hits.size(), ++expected) << at;
  }
  // Latin-1 past the pieces already let go: the text is decoded whole.
  tree.Write("late-latin1.txt", std::string(3 * kPiece, 'x') + "needle " + std::string(5 * kPiece, 'y') + "\xE9t\xE9\n");
  Search("late-latin1.txt", u"needle");
  ASSERT_EQ(hits.size(), ++expected);
  EXPECT_EQ(hits[expected - 1].position, static_cast<std::int64_t>(3 * kPiece));
  Search("late-latin1.txt", u"\u00e9t\u00e9");
  ASSERT_EQ(hits.size(), ++expected);
  EXPECT_EQ(hits[expected - 1].position, static_cast<std::int64_t>(8 * kPiece + 7));
  // ISO-2022-JP announces itself at the start, and its text is all seven-bit
  // bytes: what the reader let go is read again for the prefilter.
  const std::string konnichiwa = "\x1b$B$3$s$K$A$O\x1b(B";
  tree.Write("jis.txt", "\x1b$B$3$s\x1b(B\n" + std::string(6 * kPiece, 'x') + "\n" + konnichiwa + "\n");
  Search("jis.txt", u"\u3053\u3093\u306b\u3061\u306f");
  ASSERT_EQ(hits.size(), ++expected);
  EXPECT_EQ(hits[expected - 1].line, 3);
}

TEST_F(FileSearcherTest, ContextsAreCutAtTheirLengthAndAtTheTextsEnds) {
  tree.Write("c.txt", std::string(10, 'L') + "X" + std::string(200, 'R'));
  Search("c.txt", u"X");
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].LeftContext().size(), 10u);
  EXPECT_EQ(hits[0].RightContext().size(), 90u);
  tree.Write("d.txt", "Xmiddle" + std::string(40, '-') + "Y");
  hits.Clear();
  Search("d.txt", u"X");
  Search("d.txt", u"Y");
  EXPECT_EQ(hits[0].LeftContext(), u"");
  EXPECT_EQ(hits[1].LeftContext().size(), 30u);
  EXPECT_EQ(hits[1].RightContext(), u"");
}

TEST_F(FileSearcherTest, CaseInsensitiveHitKeepsTheFilesOwnLetters) {
  tree.Write("a.txt", "Some WORD and a word");
  Search("a.txt", u"word", false, false);
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0].Keyword(), u"WORD");
  EXPECT_EQ(hits[1].Keyword(), u"word");
}

TEST_F(FileSearcherTest, SameHitsInEveryEncodingOfAFile) {
  const std::string text = std::string("Header line\n") + test::kJapaneseSentence + "\n末尾の名前\n";
  const std::pair<const char*, std::string> files[] = {
      {"sjis.txt", Transcode(text, "windows-31j")},
      {"euc.txt", Transcode(text, "EUC-JP")},
      {"jis.txt", Transcode(text, "ISO-2022-JP")},
      {"utf8.txt", text},
      {"utf8bom.txt", "\xEF\xBB\xBF" + text},
      {"utf16le.txt", "\xFF\xFE" + Transcode(text, "UTF-16LE")},
      {"utf16be.txt", "\xFE\xFF" + Transcode(text, "UTF-16BE")},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    tree.Write(name, bytes);
    hits.Clear();
    Search(name, u"名前");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].line, 2);
    EXPECT_EQ(hits[1].line, 3);
    // Positions count from the first character after a byte-order mark.
    EXPECT_EQ(hits[0].position, 12 + 8);
    EXPECT_EQ(hits[1].RightContext(), u"\n");
  }
}

timespec AnHourOn() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  now.tv_sec += 3600;
  return now;
}

// A search takes a file's identity only when the file may hold a hit, but
// every file with hits has it for a replace to check: ASCII bytes lacking
// the needle's UTF-8 form still hit in a seven-bit page or a chosen one.
TEST_F(FileSearcherTest, EveryFileWithHitsKeepsWhatItWasAsRead) {
  SetReadClockForTests(AnHourOn);  // the files read as unchanged for a while
  const struct {
    const char* name;
    std::string bytes;
    std::u16string pattern;
    CodePage chosen;
  } files[] = {
      {"ascii.txt", "a name\n", u"name", codepage::kNone},
      {"jis.txt", Transcode("名前\n", "ISO-2022-JP"), u"名前", codepage::kNone},
      {"chosen.txt", "ab\n\n", u"\u6261", codepage::kUtf16Le},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    hits.Clear();
    tree.Write(file.name, file.bytes);
    FileSearcher searcher;
    searcher.Prepare(false, true, file.pattern, u"");
    searcher.ChooseCodePages(file.chosen, nullptr);
    searcher.SearchFile(abort, U16(tree.Path(file.name)), hits, 30);
    ASSERT_EQ(hits.size(), 1u);
    struct stat now;
    ASSERT_EQ(stat(tree.Path(file.name).c_str(), &now), 0);
    EXPECT_TRUE(hits[0].File().hasIdentity);
    EXPECT_TRUE(hits[0].File().identity.Unchanged(FileIdentity::Of(now)));
  }
  SetReadClockForTests(nullptr);
}

TEST_F(FileSearcherTest, EmptyAndUnreadableFilesGiveNoHits) {
  tree.Write("empty.txt");
  Search("empty.txt", u"x");
  Search("missing.txt", u"x");
  EXPECT_EQ(hits.size(), 0u);
}

// A file skipped without decoding must be one that decoding would not have
// found anything in: these hide an occurrence behind a second byte form.
TEST_F(FileSearcherTest, FilesWithOtherByteFormsOfTheTextAreStillSearched) {
  // CP932 writes "≒" both as 81 E0 and as the NEC form 87 90.
  tree.Write("nec.txt", "\x87\x90 \x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB");
  Search("nec.txt", u"≒");
  EXPECT_EQ(hits.size(), 1u);
  // KELVIN SIGN folds to "k".
  tree.Write("kelvin.txt", "300 \xE2\x84\xAA is warm");
  Search("kelvin.txt", u"K", false, false);
  EXPECT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[1].Keyword(), u"\x212A");
}

TEST_F(FileSearcherTest, AsciiFileAndExpressionWithHits) {
  tree.Write("code.c", "int Foo_bar;\n/* Baz_qux */\n");
  Search("code.c", u"[A-Z][a-z]+_[a-z]+", true, true);
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[1].Keyword(), u"Baz_qux");
  EXPECT_EQ(hits[1].line, 2);
  EXPECT_EQ(hits[1].LeftContext(), u"int Foo_bar;\n/* ");
}

// Hits share their file's context buffer, overlapping contexts stored once:
// every hit must still give exactly the text around it, narrow or wide.
TEST_F(FileSearcherTest, SharedContextsGiveEachHitItsOwnText) {
  unsigned seed = 11;
  const auto next = [&] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7FFF; };
  const char* pieces[] = {"ab", "x", " ", "\n", "abab", "日本", "語"};
  for (int round = 0; round < 40; ++round) {
    const bool ascii = round % 2 == 0;
    std::string text;
    for (int i = 0, n = static_cast<int>(next() % 400); i < n; ++i) text += pieces[next() % (ascii ? 5 : 7)];
    tree.Write("r.txt", text);
    const int width = static_cast<int>(next() % 12);
    hits.Clear();
    Search("r.txt", u"ab", false, true, width);
    const std::u16string wide = U16(text);
    size_t expected = 0;
    for (size_t at = wide.find(u"ab"); at != std::u16string::npos; at = wide.find(u"ab", at + 2)) ++expected;
    ASSERT_EQ(hits.size(), expected);
    for (const Hit& hit : hits) {
      const size_t at = static_cast<size_t>(hit.position);
      const size_t left = std::min<size_t>(at, width);
      ASSERT_EQ(hit.LeftContext(), wide.substr(at - left, left));
      ASSERT_EQ(hit.Keyword(), u"ab");
      ASSERT_EQ(hit.RightContext(), wide.substr(at + 2, 3 * width));
    }
    if (ascii && hits.size() > 0) {
      EXPECT_TRUE(hits[0].File().isNarrow);
    }
  }
}

}  // namespace
}  // namespace trawlscope
