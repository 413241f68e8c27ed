#include "results/RowTable.h"

#include <gtest/gtest.h>

#include <map>

#include "results/HitExport.h"

namespace trawlscope {
namespace {

void AddHit(HitList& list, std::u16string left, std::u16string keyword, std::u16string right, std::u16string file,
            int line) {
  list.AppendStandalone(u"/d/", std::move(file), left, keyword, right, line, 0);
}

class RowTableTest : public testing::Test {
 protected:
  HitList hits;
  RowTable table;
  void SetUp() override {
    AddHit(hits, u"b", u"K1", u"zeta", u"apple.txt", 10);
    AddHit(hits, u"a", u"K2", u"alpha", u"Banana.txt", 9);
    AddHit(hits, u"C", u"K3", u"Mid", u"cherry.txt", 100);
    table.SetHits(hits);
  }
  std::vector<int> Lines() const {
    std::vector<int> lines;
    for (size_t i = 0; i < table.RowCount(); ++i) lines.push_back(table.Row(i).line);
    return lines;
  }
};

TEST_F(RowTableTest, StartsInDiscoveryOrder) { EXPECT_EQ(Lines(), (std::vector<int>{10, 9, 100})); }

TEST_F(RowTableTest, EachColumnSortsByItsKeyAscendingThenDescending) {
  table.SortByColumn(4);
  EXPECT_EQ(Lines(), (std::vector<int>{9, 10, 100}));  // numeric: 9 before 10
  table.SortByColumn(4);
  EXPECT_EQ(Lines(), (std::vector<int>{100, 10, 9}));
  table.SortByColumn(3);
  EXPECT_EQ(Lines(), (std::vector<int>{9, 10, 100}));  // "Banana" before "apple": code units
  table.SortByColumn(1);
  EXPECT_EQ(Lines(), (std::vector<int>{100, 9, 10}));  // "C" < "a" < "b"
  table.SortByColumn(2);
  EXPECT_EQ(Lines(), (std::vector<int>{100, 9, 10}));  // by right context: "Mid" < "alpha" < "zeta"
  table.SortByColumn(1);  // its own flag: descending now
  EXPECT_EQ(Lines(), (std::vector<int>{10, 9, 100}));
}

// By the page's name as the column shows it, a file its page could not read
// after the others of that page; the sort holds when the rows are made again.
TEST_F(RowTableTest, TheCodePageColumnSortsByNameAndTheSortOutlivesNewRows) {
  const std::pair<CodePage, bool> pages[] = {{65001, false}, {932, true}, {932, false}};
  for (size_t i = 0; i < 3; ++i) {
    auto& file = const_cast<HitFile&>(hits[i].File());
    std::tie(file.codePage, file.undecodable) = pages[i];
  }
  table.SortByColumn(5);
  EXPECT_EQ(Lines(), (std::vector<int>{100, 9, 10}));  // "Shift_JIS" < "UTF-8"
  AddHit(hits, u"", u"K4", u"", u"date.txt", 1);
  const_cast<HitFile&>(hits[3].File()).codePage = 51932;
  table.SetHits(hits);
  EXPECT_EQ(Lines(), (std::vector<int>{10, 9, 100, 1}));  // discovery order until made again
  table.ArrangeNow(table.Wanted());
  EXPECT_EQ(Lines(), (std::vector<int>{1, 100, 9, 10}));  // "EUC-JP" first
}

// Enough rows that the sort is not a plain insertion sort, which would keep
// ties in order by chance: within one file, hits stay in line order whichever
// direction, and whatever column was sorted before.
TEST(RowTableTies, KeepDiscoveryOrder) {
  HitList hits;
  const std::u16string names[] = {u"b.txt", u"a.txt", u"c.txt"};
  for (int line = 1; line <= 300; ++line)
    AddHit(hits, std::u16string(1, char16_t(u'a' + (line * 7) % 26)), u"k", u"", names[line % 3], line);
  RowTable table;
  table.SetHits(hits);
  const auto expectLineOrderWithinEachFile = [&] {
    std::map<std::u16string, int> lastLine;
    for (size_t i = 0; i < table.RowCount(); ++i) {
      const Hit& hit = table.Row(i);
      EXPECT_LT(lastLine[hit.FileName()], hit.line) << "row " << i;
      lastLine[hit.FileName()] = static_cast<int>(hit.line);
    }
  };
  table.SortByColumn(static_cast<int>(ResultColumn::FileName));
  EXPECT_EQ(table.Row(0).FileName(), u"a.txt");
  expectLineOrderWithinEachFile();
  table.SortByColumn(static_cast<int>(ResultColumn::LeftContext));
  table.SortByColumn(static_cast<int>(ResultColumn::FileName));
  EXPECT_EQ(table.Row(0).FileName(), u"c.txt");
  expectLineOrderWithinEachFile();
}

TEST_F(RowTableTest, HiddenColumnChangesNothing) {
  table.SortByColumn(4);
  table.SortByColumn(0);
  EXPECT_EQ(Lines(), (std::vector<int>{9, 10, 100}));
  EXPECT_FALSE(table.NextSortDescending(0));
}

TEST(RowTable, KeywordIsNoPartOfItsColumnsKey) {
  // With the keyword in the key, "az" would sort before "ba".
  HitList list;
  AddHit(list, u"", u"a", u"z", u"f", 1);
  AddHit(list, u"", u"b", u"a", u"f", 2);
  RowTable table;
  table.SetHits(list);
  table.SortByColumn(2);
  EXPECT_EQ(table.Row(0).line, 2);
  EXPECT_EQ(table.Row(1).line, 1);
}

TEST_F(RowTableTest, SortedRowsAreTheListsHitsByIndex) {
  table.SortByColumn(4);
  ASSERT_EQ(table.RowCount(), 3u);
  EXPECT_EQ(table.HitIndex(0), 1u);
  EXPECT_EQ(table.HitIndex(1), 0u);
  EXPECT_EQ(table.HitIndex(2), 2u);
  EXPECT_TRUE(table.Row(0) == hits[1]);
}

TEST(RowTable, EmptyTableChangesNoFlagAndOneRowTurnsIt) {
  HitList none;
  RowTable empty;
  empty.SetHits(none);
  for (int c = 0; c < kResultColumns; ++c) {
    empty.SortByColumn(c);
    EXPECT_FALSE(empty.NextSortDescending(c));
  }
  HitList one;
  AddHit(one, u"l", u"k", u"r", u"f", 1);
  RowTable single;
  single.SetHits(one);
  single.SortByColumn(3);
  EXPECT_TRUE(single.NextSortDescending(3));
}

TEST_F(RowTableTest, SurrogatePairsSortByTheirHighSurrogate) {
  HitList list;
  AddHit(list, u"\xE000", u"k", u"", u"f", 1);
  AddHit(list, u"😀", u"k", u"", u"f", 2);
  RowTable t;
  t.SetHits(list);
  t.SortByColumn(1);
  EXPECT_EQ(t.Row(0).line, 2);  // D83D sorts before E000
}

TEST_F(RowTableTest, OutputStaysInDiscoveryOrderAfterASort) {
  const std::u16string before = ExportText(hits);
  table.SortByColumn(4);
  table.SortByColumn(3);
  EXPECT_EQ(ExportText(hits), before);
  EXPECT_EQ(before.substr(0, 9), u"apple.txt");
}

}  // namespace
}  // namespace trawlscope
