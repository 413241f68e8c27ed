// Replacing only the hits a user picked, over real files in real encodings:
// exactly those occurrences change, every other byte stays, and a file that
// changed since the search is left as it is.
#include <gtest/gtest.h>
#include <unistd.h>

#include "search/run/ReplaceJob.h"
#include "support/RecordingSink.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;
using Kind = FileReplaceOutcome::Kind;

class SelectedReplaceTest : public testing::Test {
 protected:
  TempTree tree;
  JobState state;
  test::RecordingSink sink;

  void SetUp() override {
    state.request.searchPath = U16(tree.Path("t"));
    state.request.searchText = u"関数";
    state.request.replacementText = u"函数";
    state.request.caseSensitive = true;
  }

  // The hits of the last search whose index is listed.
  std::vector<Hit> Picked(std::initializer_list<size_t> indexes) const {
    std::vector<Hit> picked;
    for (const size_t i : indexes) picked.push_back(state.hits[i]);
    return picked;
  }

  void ReplacePicked(std::initializer_list<size_t> indexes) {
    state.selection = SelectionOfHits(Picked(indexes));
    RunReplace(state, sink);
  }
};

struct EncodedCase {
  const char* converter;
  const char* name;
  const char* mark = "";  // written first, U+FEFF where the page needs its mark to be told
};

class SelectedReplaceInEncoding : public SelectedReplaceTest, public testing::WithParamInterface<EncodedCase> {};

// Three occurrences in a file of the encoding, the middle one picked.
TEST_P(SelectedReplaceInEncoding, OnlyThePickedOccurrenceChangesAndEveryOtherByteStays) {
  const char* converter = GetParam().converter;
  const std::string text = "関数一 吾輩は猫である。\r\n関数二\n名前はまだ無い 関数三\n";
  tree.Write("t/a.txt", Transcode(text, converter));
  RunSearch(state, sink);
  ASSERT_EQ(state.hits.size(), 3u);
  ReplacePicked({1});
  ASSERT_EQ(sink.summary.replaced.size(), 1u);
  EXPECT_EQ(sink.summary.replaced[0].outcome.kind, Kind::Changed);
  EXPECT_EQ(sink.summary.replaced[0].outcome.replacements, 1u);
  EXPECT_EQ(tree.Read("t/a.txt"), Transcode("関数一 吾輩は猫である。\r\n函数二\n名前はまだ無い 関数三\n", converter));
}

INSTANTIATE_TEST_SUITE_P(Encodings, SelectedReplaceInEncoding,
                         testing::Values(EncodedCase{"windows-31j", "ShiftJis"}, EncodedCase{"EUC-JP", "EucJp"},
                                         EncodedCase{"UTF-8", "Utf8"}),
                         [](const auto& info) { return std::string(info.param.name); });

class SplitPairInEncoding : public SelectedReplaceInEncoding {};

// A change begins and ends between characters whatever the code page: half
// of a surrogate pair replaced would leave a lone surrogate in the file.
TEST_P(SplitPairInEncoding, AChangeThatSplitsASurrogatePairIsRefused) {
  const std::string text = std::string(GetParam().mark) + "😀" + test::kChineseSentence;
  const std::string bytes = Transcode(text, GetParam().converter);
  tree.Write("t/a.txt", bytes);
  state.request.searchText = u"😀";
  RunSearch(state, sink);
  ASSERT_EQ(state.hits.size(), 1u);
  ASSERT_EQ(state.hits[0].position, 0);  // the page was told and its mark passed over
  ASSERT_EQ(state.hits[0].length, 2);
  state.request.searchText.clear();
  state.request.replacementText = u"x";
  for (const SelectedOccurrence& stretch : {SelectedOccurrence{0, 1, {}}, {1, 1, {}}, {1, 0, {}}}) {
    state.selection = HitSelection{{{U16(tree.Path("t/a.txt")), std::nullopt, {stretch}}}};
    RunReplace(state, sink);
    EXPECT_EQ(sink.summary.replaced[0].outcome.problem, ReplaceProblem::NotOnCharacterBoundary)
        << stretch.position << "+" << stretch.length;
    EXPECT_EQ(tree.Read("t/a.txt"), bytes);
  }
  // A search for the pair's second half alone finds it; a full replace is refused as well.
  state.selection.reset();
  state.request.searchText = std::u16string(1, char16_t{0xDE00});
  RunReplace(state, sink);
  EXPECT_EQ(sink.summary.replaced[0].outcome.problem, ReplaceProblem::NotOnCharacterBoundary);
  EXPECT_EQ(tree.Read("t/a.txt"), bytes);
}

INSTANTIATE_TEST_SUITE_P(Encodings, SplitPairInEncoding,
                         testing::Values(EncodedCase{"UTF-8", "Utf8"}, EncodedCase{"UTF-16LE", "Utf16Le", "\uFEFF"},
                                         EncodedCase{"UTF-16BE", "Utf16Be", "\uFEFF"},
                                         EncodedCase{"UTF-32LE", "Utf32Le", "\uFEFF"},
                                         EncodedCase{"GB18030", "Gb18030"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SelectedReplaceTest, Utf16WithItsMarkKeepsTheMarkAndTheOtherOccurrences) {
  const std::string bytes = "\xFF\xFE" + Transcode("関数 a\n関数 b\n関数 c\n", "UTF-16LE");
  tree.Write("t/u.txt", bytes);
  RunSearch(state, sink);
  ASSERT_EQ(state.hits.size(), 3u);
  ReplacePicked({0, 2});
  EXPECT_EQ(sink.summary.replaced[0].outcome.replacements, 2u);
  EXPECT_EQ(tree.Read("t/u.txt"), "\xFF\xFE" + Transcode("函数 a\n関数 b\n函数 c\n", "UTF-16LE"));
}

TEST_F(SelectedReplaceTest, OnlyThePickedFilesAreVisitedInTheOrderPicked) {
  tree.Write("t/1.txt", "関数");
  tree.Write("t/2.txt", "関数");
  tree.Write("t/3.txt", "関数");
  RunSearch(state, sink);
  ASSERT_EQ(state.hits.size(), 3u);
  ReplacePicked({2, 0});
  ASSERT_EQ(sink.summary.replaced.size(), 2u);
  EXPECT_EQ(sink.summary.replaced[0].path, U16(tree.Path("t/3.txt")));
  EXPECT_EQ(sink.summary.replaced[1].path, U16(tree.Path("t/1.txt")));
  EXPECT_EQ(tree.Read("t/1.txt"), "函数");
  EXPECT_EQ(tree.Read("t/2.txt"), "関数");
  EXPECT_EQ(tree.Read("t/3.txt"), "函数");
}

TEST_F(SelectedReplaceTest, AFileEditedAfterTheSearchIsLeftAsItIs) {
  tree.Write("t/a.txt", "関数 one 関数");
  tree.Write("t/b.txt", "関数 two");
  RunSearch(state, sink);
  ASSERT_EQ(state.hits.size(), 3u);
  // Same length, so only the identity (its time) tells.
  usleep(10000);
  tree.Write("t/a.txt", "関数 ONE 関数");
  ReplacePicked({0, 1, 2});
  ASSERT_EQ(sink.summary.replaced.size(), 2u);
  EXPECT_EQ(sink.summary.replaced[0].outcome.kind, Kind::LeftUnchanged);
  EXPECT_EQ(sink.summary.replaced[0].outcome.problem, ReplaceProblem::ChangedSinceSearch);
  EXPECT_EQ(tree.Read("t/a.txt"), "関数 ONE 関数");
  EXPECT_EQ(tree.Read("t/b.txt"), "函数 two");
}

TEST_F(SelectedReplaceTest, AnOccurrenceNoLongerThereLeavesTheFileAsItIs) {
  tree.Write("t/a.txt", "関数 and 関数");
  RunSearch(state, sink);
  state.selection = SelectionOfHits(Picked({1}));
  state.selection->files[0].searched.reset();  // as from hit lines, which carry no identity
  tree.Write("t/a.txt", "関数 and 関係");
  RunReplace(state, sink);
  EXPECT_EQ(sink.summary.replaced[0].outcome.problem, ReplaceProblem::OccurrenceChanged);
  EXPECT_EQ(tree.Read("t/a.txt"), "関数 and 関係");
}

TEST_F(SelectedReplaceTest, ExpressionFormatsWorkFromTheRealMatch) {
  tree.Write("t/a.txt", "key=value\nname=trawl\nx=y\n");
  state.request.useRegex = true;
  state.request.searchText = u"(\\w+)=(\\w+)";
  state.request.replacementText = u"$2:$1";
  RunSearch(state, sink);
  ASSERT_EQ(state.hits.size(), 3u);
  ReplacePicked({1});
  EXPECT_EQ(tree.Read("t/a.txt"), "key=value\ntrawl:name\nx=y\n");
}

TEST_F(SelectedReplaceTest, APickedStretchThatIsNoMatchOfTheSearchNowIsRefused) {
  tree.Write("t/a.txt", "abc abd");
  state.request.searchText = u"ab";
  RunSearch(state, sink);
  state.selection = HitSelection{{{U16(tree.Path("t/a.txt")), std::nullopt, {{0, 3, std::nullopt}}}}};
  RunReplace(state, sink);
  EXPECT_EQ(sink.summary.replaced[0].outcome.problem, ReplaceProblem::OccurrenceChanged);
  EXPECT_EQ(tree.Read("t/a.txt"), "abc abd");
}

TEST_F(SelectedReplaceTest, WithoutASearchTextThePickedStretchIsReplacedAsItIs) {
  tree.Write("t/a.txt", Transcode("吾輩は猫である。名前はまだ無い。", "windows-31j"));
  state.request.searchText.clear();
  state.request.replacementText = u"犬";
  state.selection = HitSelection{{{U16(tree.Path("t/a.txt")), std::nullopt, {{3, 1, u"猫"}}}}};
  RunReplace(state, sink);
  EXPECT_EQ(sink.summary.replaced[0].outcome.kind, Kind::Changed);
  EXPECT_EQ(tree.Read("t/a.txt"), Transcode("吾輩は犬である。名前はまだ無い。", "windows-31j"));
  // The keyword is checked: the stretch now holds 犬, not 猫.
  RunReplace(state, sink);
  EXPECT_EQ(sink.summary.replaced[0].outcome.problem, ReplaceProblem::OccurrenceChanged);
}

TEST_F(SelectedReplaceTest, OverlappingOrOutOfRangeStretchesAreRefused) {
  tree.Write("t/a.txt", "abcdef");
  state.request.searchText.clear();
  state.selection = HitSelection{{{U16(tree.Path("t/a.txt")), std::nullopt, {{0, 3, {}}, {2, 2, {}}}}}};
  RunReplace(state, sink);
  EXPECT_EQ(sink.summary.replaced[0].outcome.problem, ReplaceProblem::OccurrencesOverlap);
  state.selection = HitSelection{{{U16(tree.Path("t/a.txt")), std::nullopt, {{5, 2, {}}}}}};
  RunReplace(state, sink);
  EXPECT_EQ(sink.summary.replaced[0].outcome.problem, ReplaceProblem::OccurrenceChanged);
  EXPECT_EQ(tree.Read("t/a.txt"), "abcdef");
}

TEST_F(SelectedReplaceTest, XmlSearchedByXPathChangesOnlyThePickedNodesText) {
  const std::string doc =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<doc>\n<p>関数 one</p>\n<q>関数 skipped</q>\n"
      "<p>two &amp; 関数</p>\n<p>関数 three</p>\n</doc>\n";
  tree.Write("t/d.xml", Transcode(doc, "windows-31j"));
  state.request.xpath = u"//p";
  RunSearch(state, sink);
  ASSERT_EQ(state.hits.size(), 3u);
  ReplacePicked({1});
  ASSERT_EQ(sink.summary.replaced.size(), 1u);
  EXPECT_EQ(sink.summary.replaced[0].outcome.kind, Kind::Changed);
  std::string expected = doc;
  expected.replace(expected.find("two &amp; 関数"), std::string("two &amp; 関数").size(), "two &amp; 函数");
  EXPECT_EQ(tree.Read("t/d.xml"), Transcode(expected, "windows-31j"));

  // The same stretch picked again, literally, now holds the new word.
  state.request.searchText.clear();
  RunReplace(state, sink);
  EXPECT_EQ(sink.summary.replaced[0].outcome.problem, ReplaceProblem::ChangedSinceSearch);
}

TEST_F(SelectedReplaceTest, HitsKeepTheIdentityTheSearchRead) {
  tree.Write("t/a.txt", "関数");
  RunSearch(state, sink);
  ASSERT_EQ(state.hits.size(), 1u);
  const HitFile& file = state.hits[0].File();
  ASSERT_TRUE(file.hasIdentity);
  struct stat info;
  ASSERT_EQ(stat(tree.Path("t/a.txt").c_str(), &info), 0);
  EXPECT_TRUE(file.identity.Unchanged(FileIdentity::Of(info)));
  EXPECT_EQ(HitFileBytes(state.hits), 6u);
  EXPECT_EQ(SelectedFileBytes(SelectionOfHits(Picked({0}))), 6u);
}

}  // namespace
}  // namespace trawlscope
