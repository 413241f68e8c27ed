#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <numeric>

#include "results/FolderColumn.h"
#include "results/RowArranger.h"
#include "results/RowSort.h"
#include "results/RowTable.h"

namespace trawlscope {
namespace {

class RowArrangeTest : public testing::Test {
 protected:
  HitList hits;
  RowTable table;
  void SetUp() override {
    hits.AppendStandalone(u"/src/net/", u"eth.c", u"int ", u"alpha", u"(void);", 30, 0);
    hits.AppendStandalone(u"/src/usb/", u"hub.c", u"x = ", u"Beta", u" + 1;", 10, 0);
    hits.AppendStandalone(u"/src/usb/", u"Δelta.c", u"σ ", u"Gamma", u"\tend", 20, 0);
    table.SetHits(hits);
  }
  std::vector<int> Lines() const {
    std::vector<int> lines;
    for (size_t i = 0; i < table.RowCount(); ++i) lines.push_back(static_cast<int>(table.Row(i).line));
    return lines;
  }
  void Filter(std::u16string text, bool expression = false) {
    RowArrangement wanted = table.Arrangement();
    wanted.filter = {std::move(text), expression};
    table.ArrangeNow(wanted);
  }
};

TEST_F(RowArrangeTest, TheFilterFindsTextInThePathTheContextOrTheKeywordIgnoringCase) {
  const struct {
    std::u16string text;
    bool expression;
    std::vector<int> lines;
  } cases[] = {
      {u"usb", false, {10, 20}},         // the folder
      {u"ETH.C", false, {30}},           // the name, case ignored
      {u"beta", false, {10}},            // the keyword
      {u"(void)", false, {30}},          // the right context, taken as text
      {u"= beta +", false, {10}},        // across the context and the keyword
      {u"Σ", false, {20}},               // case ignored beyond ASCII
      {u"nothing", false, {}},
      {u"^x = Beta", true, {10}},        // an expression over the row's text
      {u"\\(void\\)|gamma", true, {30, 20}},
      {u"(", true, {}},                  // not valid: nothing shown
      {u"", false, {30, 10, 20}},        // no filter: every row
  };
  for (const auto& c : cases) {
    Filter(c.text, c.expression);
    EXPECT_EQ(Lines(), c.lines) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(table.FilterValid(), c.text != u"(");
    EXPECT_EQ(table.HitCount(), 3u);
  }
}

TEST_F(RowArrangeTest, AFilteredListKeepsItsSortAndASortKeepsTheFilter) {
  table.SortByColumn(static_cast<int>(ResultColumn::Line));
  Filter(u"usb");
  EXPECT_EQ(Lines(), (std::vector<int>{10, 20}));
  table.SortByColumn(static_cast<int>(ResultColumn::Line));  // descending now
  EXPECT_EQ(Lines(), (std::vector<int>{20, 10}));
  EXPECT_TRUE(table.Filtered());
}

TEST_F(RowArrangeTest, SortingByFolderKeepsEachFileTogetherInLineOrder) {
  hits.AppendStandalone(u"/src/net/", u"eth.c", u"", u"k", u"", 31, 0);
  table.SetHits(hits);
  table.SortByColumn(static_cast<int>(ResultColumn::Folder));
  EXPECT_EQ(Lines(), (std::vector<int>{30, 31, 10, 20}));  // net before usb; hub.c before Δelta.c
  table.SortByColumn(static_cast<int>(ResultColumn::Folder));
  EXPECT_EQ(Lines(), (std::vector<int>{20, 10, 30, 31}));
}

TEST_F(RowArrangeTest, ACancelledSortOrFilterMakesNothing) {
  const std::atomic<bool> cancelled{true};
  for (int i = 0; i < 100000; ++i) hits.AppendStandalone(u"/d/", u"f", u"x", u"k", u"", i, 0);
  table.SetHits(hits);
  EXPECT_FALSE(ArrangeRows(hits, {static_cast<int>(ResultColumn::Line), false, {}}, table, cancelled));
  EXPECT_FALSE(ArrangeRows(hits, {-1, false, {u"x", false}}, table, cancelled));
}

// The second job replaces the first, whose rows never arrive.
TEST_F(RowArrangeTest, ALaterJobReplacesAnEarlierOne) {
  std::deque<std::function<void()>> queued;
  std::mutex lock;
  RowArranger arranger([&](std::function<void()> work) {
    std::lock_guard guard(lock);
    queued.push_back(std::move(work));
  });
  std::vector<RowArrangement> delivered;
  const auto done = [&](const RowArrangement& arrangement, ArrangedRows rows) {
    delivered.push_back(arrangement);
    table.Apply(arrangement, std::move(rows));
  };
  arranger.Start(hits, table, {static_cast<int>(ResultColumn::Line), false, {}}, done);
  arranger.Start(hits, table, {static_cast<int>(ResultColumn::FileName), false, {}}, done);
  EXPECT_TRUE(arranger.Busy());
  for (int waited = 0; waited < 5000 && arranger.Busy(); ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::lock_guard guard(lock);
    while (!queued.empty()) {
      queued.front()();
      queued.pop_front();
    }
  }
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_EQ(delivered[0].sortColumn, static_cast<int>(ResultColumn::FileName));
  EXPECT_EQ(Lines(), (std::vector<int>{30, 10, 20}));
}

// The line sort merges the files' ascending runs: it must order as a stable
// sort does, equal lines in discovery order both ways, also when a list's
// lines do not ascend within a file.
TEST(RowSortByLine, OrdersAsAStableSortBothWays) {
  HitList hits;
  unsigned seed = 7;
  for (int file = 0; file < 40; ++file) {
    int line = 1;
    for (int i = 0; i < 50; ++i) {
      seed = seed * 1103515245u + 12345u;
      line += static_cast<int>((seed >> 16) % 3);  // repeats and steps
      hits.AppendStandalone(u"/d/", u"f", u"", u"k", u"", file % 7 == 3 ? 200 - line : line, i);
    }
  }
  for (const bool descending : {false, true}) {
    std::vector<RowIndex> expected(hits.size());
    std::iota(expected.begin(), expected.end(), RowIndex{0});
    std::stable_sort(expected.begin(), expected.end(), [&](RowIndex a, RowIndex b) {
      return descending ? hits[b].line < hits[a].line : hits[a].line < hits[b].line;
    });
    const std::atomic<bool> never{false};
    EXPECT_EQ(SortedOrder(hits, ResultColumn::Line, descending, never)->Indices(), expected) << descending;
  }
}

TEST(FolderColumn, PathsBelowTheSearchedFolders) {
  const std::vector<std::u16string> roots = {u"/src/", u"/src/usb/core/", u"/other/"};
  const struct {
    std::u16string folder, shown;
  } cases[] = {{u"/src/", u""},
               {u"/src/net/", u"net"},
               {u"/src/usb/core/host/", u"host"},  // the longest root that holds it
               {u"/srcs/x/", u"/srcs/x"},          // a root is a whole folder, not a prefix of a name
               {u"/", u"/"}};
  for (const auto& c : cases) EXPECT_EQ(RelativeFolder(c.folder, roots), c.shown);
}

TEST(FolderColumn, HitsPerFileCountTheFilesRun) {
  HitList hits;
  HitFile& a = hits.AddFile(u"/d/", u"a", 0);
  HitFile& b = hits.AddFile(u"/d/", u"b", 0);
  for (const HitFile* file : {&a, &a, &a, &b}) hits.Append(Hit(*file, 0, 0, 0, 0));
  EXPECT_EQ(HitsInFileOf(hits, 0), 3u);
  EXPECT_EQ(HitsInFileOf(hits, 2), 3u);
  EXPECT_EQ(HitsInFileOf(hits, 3), 1u);
}

}  // namespace
}  // namespace trawlscope

namespace trawlscope {
namespace {

// The sorts by a file's key keep their order as stretches of hits: the rows
// are the same as a stable sort of every hit by its file's key, also when one
// file's hits are split in two and two files share a name, and each row is
// found alone as in a pass over all.
TEST(RowOrderOfFiles, SameRowsAsAStableSortOfEveryHit) {
  HitList hits;
  const HitFile& b = hits.AddFile(u"/z/", u"b.c", 0);
  const HitFile& a = hits.AddFile(u"/y/", u"a.c", 0);
  const HitFile& otherB = hits.AddFile(u"/a/", u"b.c", 0);
  const std::vector<const HitFile*> placed = {&b, &b, &a, &otherB, &otherB, &b, &a, &a, &a};
  for (size_t i = 0; i < placed.size(); ++i) {
    Hit hit(*placed[i], 0, 0, 1, 0);
    hit.line = static_cast<std::int64_t>(i + 1);
    hits.Append(hit);
  }
  const std::atomic<bool> never{false};
  const struct {
    ResultColumn column;
    std::function<std::u16string(const HitFile&)> key;
  } columns[] = {{ResultColumn::FileName, [](const HitFile& f) { return f.fileName; }},
                 {ResultColumn::Folder, [](const HitFile& f) { return f.folder + f.fileName; }}};
  for (const auto& column : columns) {
    for (const bool descending : {false, true}) {
      std::vector<RowIndex> expected(hits.size());
      std::iota(expected.begin(), expected.end(), RowIndex{0});
      std::stable_sort(expected.begin(), expected.end(), [&](RowIndex x, RowIndex y) {
        const std::u16string kx = column.key(hits.FileOf(x)), ky = column.key(hits.FileOf(y));
        return descending ? ky < kx : kx < ky;
      });
      const std::optional<RowOrder> order = SortedOrder(hits, column.column, descending, never);
      ASSERT_TRUE(order);
      EXPECT_EQ(order->Indices(), expected) << static_cast<int>(column.column) << descending;
      for (size_t row = 0; row < expected.size(); ++row) EXPECT_EQ((*order)[row], expected[row]) << row;
    }
  }
}

}  // namespace
}  // namespace trawlscope
