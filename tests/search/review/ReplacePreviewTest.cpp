// The preview of a replace must show what the replace itself writes: each
// row's promised replacement is checked against the edits the replace run
// collects over the whole file, and rows the contexts cannot settle say so.
#include "search/review/ReplacePreview.h"

#include <gtest/gtest.h>

#include "search/file/FileSearcher.h"
#include "search/text/TextEdits.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::U16;

struct Case {
  const char16_t* pattern;
  bool useRegex;
  bool caseSensitive;
  const char16_t* replacement;
  bool lookAround = false;
};

const char kText[] =
    "int foo_bar = 1; static int baz_qux(void) { return foo_bar + FOO_BAR; }\n"
    "// TODO fix the_thing; todo: more_things\n"
    "price $5 and ¥500 for 漢字_かな in the 日本語 text\n";

class ReplacePreviewTest : public testing::Test {
 protected:
  TempTree tree;
  AbortFlag never{false};

  void Search(const SearchRequest& request, int contextLength, HitList& hits) {
    FileSearcher searcher;
    searcher.Prepare(request.useRegex, request.caseSensitive, request.searchText, u"");
    searcher.SearchFile(never, U16(tree.Path("a.txt")), hits, contextLength);
  }

  TextEdits Edits(const SearchRequest& request, const std::u16string& replacement) {
    const Matcher matcher(request.searchText, request.caseSensitive);
    TextEdits edits;
    CollectEdits(matcher, test::U16(kText), ModeOf(request.useRegex, request.caseSensitive), never, replacement,
                 edits);
    return edits;
  }
};

TEST_F(ReplacePreviewTest, EveryKnownRowShowsWhatTheReplaceWrites) {
  tree.Write("a.txt", kText);
  const Case cases[] = {
      {u"foo_bar", false, true, u"$1 stays"},
      {u"foo_bar", false, false, u"x"},
      {u"(\\w+)_(\\w+)", true, true, u"$2_$1"},
      {u"\\bint\\b", true, true, u"long"},
      {u"(?i)todo", true, true, u"[$&]"},
      {u"\\$(\\d+)", true, true, u"USD $1"},
      {u"([\\x{4E00}-\\x{9FFF}]+)_(\\w+)", true, true, u"$2-$1"},
      {u"^\\S+", true, true, u"<$&>"},
      {u"\\w+$", true, true, u"END"},
      {u"(?<![a-z])thing", true, true, u"x", true},
  };
  for (size_t k = 0; k < std::size(cases); ++k) {
    const Case& c = cases[k];
    for (const int contextLength : {0, 3, 30}) {
      SCOPED_TRACE("case " + std::to_string(k) + " context " + std::to_string(contextLength));
      SearchRequest request;
      request.searchText = c.pattern;
      request.useRegex = c.useRegex;
      request.caseSensitive = c.caseSensitive;
      HitList hits;
      Search(request, contextLength, hits);
      const TextEdits edits = Edits(request, c.replacement);
      ASSERT_EQ(hits.size(), edits.size());
      ASSERT_NE(hits.size(), 0u);
      const ReplacePreview preview(request);
      size_t known = 0;
      for (size_t i = 0; i < hits.size(); ++i) {
        const ReplacePreview::Outcome outcome = preview.Of(hits[i], c.replacement);
        if (!outcome.known) continue;
        ++known;
        EXPECT_EQ(outcome.replacement, edits[i].replacement) << "hit " << i;
      }
      // Only the look-behind leaves rows unknown once the contexts are wide.
      if (contextLength == 30) {
        EXPECT_EQ(known, c.lookAround ? 0u : hits.size());
      }
    }
  }
}

TEST_F(ReplacePreviewTest, RowsTheContextsCannotSettleSaySo) {
  tree.Write("a.txt", kText);
  SearchRequest request;
  request.useRegex = true;
  request.caseSensitive = true;
  request.searchText = u"(\\w+)_(\\w+)";
  HitList hits;
      Search(request, 30, hits);
  ASSERT_NE(hits.size(), 0u);
  const ReplacePreview preview(request);
  // Formats that copy the text before or after the match.
  EXPECT_FALSE(preview.Of(hits[0], u"$`").known);
  EXPECT_FALSE(preview.Of(hits[0], u"a$'b").known);
  EXPECT_FALSE(preview.Of(hits[0], u"${^PREMATCH}").known);
  // A dollar sign is not a reference to the text around the match.
  EXPECT_TRUE(preview.Of(hits[0], u"$$`").known);
  EXPECT_EQ(preview.Of(hits[0], u"$$`").replacement, u"$`");

  // A look-ahead may read past the right context.
  request.searchText = u"\\w+(?=.*more)";
  HitList lookahead;
      Search(request, 30, lookahead);
  ASSERT_NE(lookahead.size(), 0u);
  EXPECT_FALSE(ReplacePreview(request).Of(lookahead[0], u"x").known);
}

// With one character of context the right context ends three characters
// after the keyword, and "$" matches there: the preferred alternative that
// failed in the file succeeds, and the match comes out longer.
TEST_F(ReplacePreviewTest, MatchThatComesOutOtherwiseInTheContextsIsNotKnown) {
  tree.Write("a.txt", "abxyz\n");
  SearchRequest request;
  request.useRegex = true;
  request.caseSensitive = true;
  request.searchText = u"ab.{2}$|a";
  HitList narrow;
      Search(request, 1, narrow);
  ASSERT_EQ(narrow.size(), 1u);
  ASSERT_EQ(narrow[0].Keyword(), u"a");
  EXPECT_FALSE(ReplacePreview(request).Of(narrow[0], u"x").known);

  HitList wide;
      Search(request, 30, wide);
  const ReplacePreview::Outcome outcome = ReplacePreview(request).Of(wide[0], u"x");
  EXPECT_TRUE(outcome.known);
  EXPECT_EQ(outcome.replacement, u"x");
}

}  // namespace
}  // namespace trawlscope
