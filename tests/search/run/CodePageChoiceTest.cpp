// Pages the user chose over the detector's guess: for a whole run, for one
// file of a list, and how a file read with bytes its page does not define
// is marked.
#include <gtest/gtest.h>

#include "search/run/ReplaceJob.h"
#include "search/run/SearchJob.h"
#include "support/RecordingSink.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;

struct Found {
  std::u16string name;
  CodePage page;
  bool hadBom;
  bool undecodable;
  std::u16string keyword;
  auto operator<=>(const Found&) const = default;
};

class CodePageChoiceTest : public testing::Test {
 protected:
  TempTree tree;
  JobState state;
  test::RecordingSink sink;

  void SetUp() override {
    state.request.searchPath = U16(tree.Path("t"));
    state.workers = 1;
  }
  std::u16string Path(const char* name) const { return U16(tree.Path(std::string("t/") + name)); }
  std::vector<Found> Search(const std::u16string& text) {
    state.request.searchText = text;
    RunSearch(state, sink);
    return Hits();
  }
  std::vector<Found> Hits() const {
    std::vector<Found> found;
    for (const Hit& hit : state.hits)
      found.push_back({hit.FileName(), hit.FileCodePage(), hit.File().hadBom, hit.File().undecodable, hit.Keyword()});
    return found;
  }
};

// A run read as KOI8-R finds Russian in a file the detector would call
// something else (a short text), while a file with a byte-order mark is
// still read as its mark says.
TEST_F(CodePageChoiceTest, ARunReadAsKoi8RReadsEveryFileButOneWithAMarkInIt) {
  tree.Write("t/a.txt", Transcode("да", "KOI8-R"));
  tree.Write("t/b.txt", "\xEF\xBB\xBF" "да");
  EXPECT_NE(Search(u"да").size(), 2u);  // two bytes of KOI8-R read as something else
  state.request.readAs = 20866;
  EXPECT_EQ(Search(u"да"), (std::vector<Found>{{u"a.txt", 20866, false, false, u"да"},
                                               {u"b.txt", codepage::kUtf8, true, false, u"да"}}));
}

// A Shift_JIS file read as EUC-JP is marked, then fixed from its row: it is
// searched again in the page chosen, its rows stand where the old ones did,
// and a replace of the list writes it back in that page, byte for byte.
TEST_F(CodePageChoiceTest, AShiftJisFileReadAsEucJpIsMarkedAndFixedFromItsRow) {
  const std::string sjis = Transcode("id 関数 id\n", "Shift_JIS");
  tree.Write("t/a.txt", "id first\n");
  tree.Write("t/b.txt", sjis);
  tree.Write("t/c.txt", "id last\n");
  state.request.readAs = codepage::kEucJp;
  const auto before = Search(u"id");
  ASSERT_EQ(before.size(), 4u);
  EXPECT_EQ(before[1], (Found{u"b.txt", codepage::kEucJp, false, true, u"id"}));

  state.fileCodePages[Path("b.txt")] = codepage::kShiftJis;
  state.request.searchText = u"関数";
  EXPECT_EQ(SearchFileAgain(state, Path("b.txt")).kind, FileSearchOutcome::Kind::Searched);
  EXPECT_EQ(Hits(), (std::vector<Found>{{u"a.txt", codepage::kEucJp, false, false, u"id"},
                                        {u"b.txt", codepage::kShiftJis, false, false, u"関数"},
                                        {u"c.txt", codepage::kEucJp, false, false, u"id"}}));

  state.request.replacementText = u"函数";
  RunReplace(state, sink);
  EXPECT_EQ(tree.Read("t/b.txt"), Transcode("id 函数 id\n", "Shift_JIS"));
  ASSERT_EQ(sink.summary.replaced.size(), 3u);
  EXPECT_EQ(sink.summary.replaced[1].outcome.codePage, codepage::kShiftJis);
}

// Bytes a page does not define come out as U+FFFD or, from some tables, as
// SUB; a file that holds those characters itself is not marked. The same
// holds for a file read in pieces.
TEST_F(CodePageChoiceTest, OnlyBytesThePageCannotReadMarkAFileWholeOrInPieces) {
  tree.Write("t/a.txt", "id \xEF\xBF\xBD\x1A\n");  // U+FFFD and SUB, written as such in UTF-8
  tree.Write("t/b.txt", "id \xFF\xFE\xFF\n");      // not UTF-8 nor anything else
  std::string big(3u << 20, 'x');
  big += "\nid " + Transcode("関数", "Shift_JIS") + "\n";
  tree.Write("t/c.txt", big);
  state.request.readAs = codepage::kUtf8;
  const auto found = Search(u"id");
  ASSERT_EQ(found.size(), 3u);
  EXPECT_FALSE(found[0].undecodable);
  EXPECT_TRUE(found[1].undecodable);
  EXPECT_TRUE(found[2].undecodable);
}

// A row's file with no hits in its new page leaves the list; one that had
// none before joins it at the end.
TEST_F(CodePageChoiceTest, SearchingAFileAgainRemovesOrAddsItsRows) {
  tree.Write("t/a.txt", Transcode("この関数を呼ぶ。", "EUC-JP"));
  tree.Write("t/b.txt", Transcode("この関数を呼ぶ。", "Shift_JIS"));
  state.fileCodePages[Path("b.txt")] = codepage::kEucJp;
  ASSERT_EQ(Search(u"関数").size(), 1u);
  state.fileCodePages[Path("b.txt")] = codepage::kShiftJis;
  SearchFileAgain(state, Path("b.txt"));
  ASSERT_EQ(Hits().size(), 2u);
  EXPECT_EQ(Hits()[1].name, u"b.txt");
  state.fileCodePages[Path("a.txt")] = codepage::kShiftJis;
  SearchFileAgain(state, Path("a.txt"));
  EXPECT_EQ(Hits(), (std::vector<Found>{{u"b.txt", codepage::kShiftJis, false, false, u"関数"}}));
}

}  // namespace
}  // namespace trawlscope
