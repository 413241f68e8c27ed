// Every hit's line as editors and grep -n number it, worked out here from the
// lines a file is made of rather than by counting its breaks: a line ends at
// each CR LF, lone CR and lone LF, and an empty line is a line. In the four
// Japanese encodings users keep, with each kind of break, whole and in
// pieces, inside a compressed file, and in the text an XPath selects.
#include <gtest/gtest.h>

#include <vector>

#include "search/file/FileSearcher.h"
#include "search/run/SearchJob.h"
#include "support/ArchiveMaker.h"
#include "support/RecordingSink.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;

const std::vector<std::string> kLines = {
    "関数の名前", "", "", "", "needle 関数", "", "x", "   関数 and 関数", "", "", "", "",
    "ｱｲｳ", "", "関数", std::string(300, 'a'), "", "end 関数"};

// The file's UTF-8 text: kLines `times` over, each followed by the break
// that `breaks` names in turn. A CR is never followed by an empty line's
// LF, which would make the two one break.
std::string Joined(const std::vector<std::string>& breaks, int times) {
  std::string text;
  size_t k = 0;
  for (int round = 0; round < times; ++round)
    for (const std::string& line : kLines) text += line + breaks[k++ % breaks.size()];
  return text;
}

// One line number for each occurrence of 関数, in order, from the lines themselves.
std::vector<std::int64_t> ExpectedLines(int times) {
  std::vector<std::int64_t> lines;
  std::int64_t number = 0;
  for (int round = 0; round < times; ++round) {
    for (const std::string& line : kLines) {
      ++number;
      for (size_t at = line.find("関数"); at != std::string::npos; at = line.find("関数", at + 1))
        lines.push_back(number);
    }
  }
  return lines;
}

const std::vector<std::string> kMixedBreaks = {"\n", "\r\n", "\r", "\r\n"};

std::vector<std::int64_t> LinesOf(const HitList& hits) {
  std::vector<std::int64_t> lines;
  for (const Hit& hit : hits) lines.push_back(hit.line);
  return lines;
}

struct Encoding {
  const char* name;
  std::string bom;
};

TEST(LineNumbers, EveryHitIsOnTheLineAnEditorShows) {
  const Encoding encodings[] = {{"UTF-8", ""}, {"windows-31j", ""}, {"EUC-JP", ""}, {"UTF-16LE", "\xFF\xFE"}};
  const std::vector<std::vector<std::string>> breakings = {{"\n"}, {"\r\n"}, {"\r"}, kMixedBreaks};
  constexpr int kTimes = 12;
  const std::vector<std::int64_t> expected = ExpectedLines(kTimes);
  ASSERT_EQ(kMixedBreaks.size(), 4u);
  for (const Encoding& encoding : encodings) {
    for (const auto& breaks : breakings) {
      for (const size_t pieceBytes : {size_t{1} << 20, size_t{256}}) {
        SCOPED_TRACE(std::string(encoding.name) + ", " + std::to_string(breaks.size()) + " kinds of break" +
                     (breaks[0] == "\r" ? " (CR)" : "") + ", pieces of " + std::to_string(pieceBytes));
        TempTree tree;
        const std::string path = tree.Write("a.txt", encoding.bom + Transcode(Joined(breaks, kTimes), encoding.name));
        FileSearcher searcher;
        searcher.Prepare(false, true, u"関数", u"");
        searcher.SetPieceSizes(pieceBytes, pieceBytes * 2);
        HitList hits;
        const AbortFlag never{false};
        ASSERT_EQ(searcher.SearchFile(never, U16(path), hits, 10).kind, FileSearchOutcome::Kind::Searched);
        EXPECT_EQ(LinesOf(hits), expected);
      }
    }
  }
}

TEST(LineNumbers, AMemberOfACompressedFileCountsItsLinesAsAFileDoes) {
  TempTree tree;
  const std::string text = Transcode(Joined(kMixedBreaks, 3), "EUC-JP");
  test::WriteStream(tree.Path("a.txt.gz"), "gzip", text);
  test::WriteArchive(tree.Path("b.zip"), "zip", "none", {{"d/b.txt", text}});
  JobState state;
  state.request.searchPath = U16(tree.Root());
  state.request.searchText = u"関数";
  state.request.caseSensitive = true;
  test::RecordingSink sink;
  RunSearch(state, sink);
  std::vector<std::int64_t> expected = ExpectedLines(3);
  expected.insert(expected.end(), expected.begin(), expected.end());
  EXPECT_EQ(LinesOf(state.hits), expected);
}

// The selected nodes' text, each node's followed by a line feed: a node
// whose text holds blank lines spans them.
TEST(LineNumbers, TheTextAnXPathSelectsCountsItsBlankLines) {
  TempTree tree;
  tree.Write("a.xml", "<r><p>関数\n\n\nx 関数</p><q>no</q><p>\r\n\r\n関数</p></r>");
  FileSearcher searcher;
  searcher.Prepare(false, true, u"関数", u"//p");
  HitList hits;
  const AbortFlag never{false};
  ASSERT_EQ(searcher.SearchFile(never, U16(tree.Path("a.xml")), hits, 10).kind, FileSearchOutcome::Kind::Searched);
  EXPECT_EQ(LinesOf(hits), (std::vector<std::int64_t>{1, 4, 7}));
}

}  // namespace
}  // namespace trawlscope
