// "Whole word": only occurrences on word boundaries, in every mode and every
// way a file's text is scanned, and a replace changes exactly those.
#include <gtest/gtest.h>

#include "search/file/FileSearcher.h"
#include "search/replace/FileReplacer.h"
#include "search/matching/Matcher.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;
using Spans = std::vector<std::pair<size_t, size_t>>;
constexpr MatchMode kExact = MatchMode::Exact;
constexpr MatchMode kCaseless = MatchMode::CaseInsensitive;
constexpr MatchMode kRegex = MatchMode::RegularExpression;

struct WordCase {
  MatchMode mode;
  const char16_t* pattern;
  const char16_t* text;
  Spans spans;
};

TEST(WholeWord, OnlyOccurrencesOnWordBoundariesCount) {
  const WordCase cases[] = {
      {kExact, u"cat", u"cat concat cat_ can't cat.", {{0, 3}, {22, 3}}},
      // The scan goes on from the dropped occurrence's second unit: "a a" at 3 counts.
      {kExact, u"a a", u"ba a a", {{3, 3}}},
      {kCaseless, u"мир", u"Мир, мирный МИР", {{0, 3}, {12, 3}}},
      // ICU would join these across the one "." or "'": a field of source code must still be found.
      {kCaseless, u"CAN", u"can't Can", {{0, 3}, {6, 3}}},
      {kExact, u"length", u"s.length lengths std::length", {{2, 6}, {22, 6}}},
      {kRegex, u"\\d+", u"a1 22 b3c 4", {{3, 2}, {10, 1}}},
      {kRegex, u"мир\\w*", u"Мир мирный", {{4, 6}}},
      // Japanese is cut into words by ICU's dictionary: 日本語|の|文章|を|検索|する.
      {kExact, u"日本語", u"日本語の文章を検索する", {{0, 3}}},
      {kExact, u"日本", u"日本語の文章を検索する", {}},
      {kCaseless, u"文章", u"日本語の文章を検索する", {{4, 2}}},
      {kRegex, u"検索", u"日本語の文章を検索する", {{7, 2}}},
      {kRegex, u"検", u"日本語の文章を検索する", {}},
  };
  const AbortFlag never{false};
  for (const WordCase& c : cases) {
    Matcher matcher(c.pattern, c.mode != kCaseless);
    matcher.KeepWholeWordsOnly();
    Spans spans;
    matcher.Scan(c.text, c.mode, never, [&](size_t p, size_t n) { spans.emplace_back(p, n); });
    EXPECT_EQ(spans, c.spans) << test::U8(c.pattern) << " in " << test::U8(c.text);
  }
}

TEST(WholeWord, TheAsciiByteScanAgreesWithTheWideOne) {
  Matcher matcher(u"c[a-z]t", true);
  matcher.KeepWholeWordsOnly();
  const AbortFlag never{false};
  Spans spans;
  matcher.ScanAsciiBytes("cat concat cot_ cut.", never, [&](size_t p, size_t n) { spans.emplace_back(p, n); });
  EXPECT_EQ(spans, (Spans{{0, 3}, {16, 3}}));
}

// Line breaks bound words, so a file searched a few lines at a time keeps the same hits.
TEST(WholeWord, PiecesKeepTheWholeFilesHits) {
  const std::string lines = "cat concat\ncat\r\nМир мирный мир\n日本語の文章\n日本\n" + std::string(50, 'x') + " cat\n";
  struct Case {
    const char* encoding;
    std::u16string pattern;
    bool regex;
    size_t hits;
  } cases[] = {{"UTF-8", u"cat", false, 3}, {"UTF-8", u"c[a-z]t", true, 3}, {"UTF-8", u"мир", false, 1},
               {"windows-31j", u"日本", false, 1}, {"UTF-16LE", u"日本語", true, 1}};
  TempTree tree;
  for (const Case& c : cases) {
    const std::string path = tree.Write("t.txt", Transcode(lines, c.encoding));
    const auto hitsOf = [&](size_t pieceBytes, size_t wholeUpTo) {
      FileSearcher searcher;
      searcher.Prepare(c.regex, true, c.pattern, u"");
      searcher.KeepWholeWordsOnly();
      searcher.SetPieceSizes(pieceBytes, wholeUpTo);
      HitList hits;
      const AbortFlag never{false};
      searcher.SearchFile(never, U16(path), hits, 4);
      Spans spans;
      for (const Hit& hit : hits) spans.emplace_back(hit.position, hit.length);
      return spans;
    };
    const Spans whole = hitsOf(1u << 20, ~size_t{0});
    EXPECT_EQ(whole.size(), c.hits) << c.encoding << " " << test::U8(c.pattern);
    for (const size_t piece : {size_t{1}, size_t{5}, size_t{16}})
      EXPECT_EQ(hitsOf(piece, 0), whole) << c.encoding << " " << test::U8(c.pattern) << ", pieces of " << piece;
  }
}

TEST(WholeWord, AReplaceChangesExactlyTheOccurrencesTheSearchLists) {
  struct Case {
    std::u16string pattern;
    bool regex;
    bool caseSensitive;
    std::string after;
  } cases[] = {
      {u"cat", false, true, "X concat cat_x X. Мир мирный 日本語の日本"},
      {u"МИР", false, false, "cat concat cat_x cat. X мирный 日本語の日本"},
      {u"日本", true, true, "cat concat cat_x cat. Мир мирный 日本語のX"},
  };
  TempTree tree;
  const AbortFlag never{false};
  for (const Case& c : cases) {
    tree.Write("r.txt", "cat concat cat_x cat. Мир мирный 日本語の日本");
    FileSearcher searcher;
    searcher.Prepare(c.regex, c.caseSensitive, c.pattern, u"");
    searcher.KeepWholeWordsOnly();
    HitList hits;
    searcher.SearchFile(never, U16(tree.Path("r.txt")), hits, 4);
    const FileReplaceOutcome outcome = FileReplacer(searcher).ReplaceInFile(never, U16(tree.Path("r.txt")), u"X");
    EXPECT_EQ(outcome.replacements, hits.size()) << test::U8(c.pattern);
    EXPECT_EQ(tree.Read("r.txt"), c.after) << test::U8(c.pattern);
  }
}

}  // namespace
}  // namespace trawlscope
