#include "search/hits/PackedHits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "search/hits/HitList.h"

namespace trawlscope {
namespace {

constexpr std::int64_t k32 = std::int64_t{1} << 32;
constexpr size_t kChunk = PackedHits::kChunkSize;

struct Numbers {
  std::int64_t line;
  std::int64_t position;
  std::int64_t length;
  size_t contextStart;
  size_t left;
  size_t right;
};

Hit MakeHit(const HitFile& file, const Numbers& n) {
  Hit hit(file, n.contextStart, n.left, 0, n.right);
  hit.line = n.line;
  hit.position = n.position;
  hit.length = n.length;
  return hit;
}

// Hits of one file, in this order: each number at the last value its packed
// field holds and at the first past it (and below zero where a Hit's field
// may go), so that runs, records and the side table all give back exactly
// what was put in.
const std::vector<Numbers> kEdges = {
    {100, 100, 1, 100, 30, 90},                               // the file's first: a run's first
    {100 + 0xFFFF, 100 + 0xFFFF, 1, 100 + 0xFFFF, 30, 90},    // at the offsets' limit above it
    {100 + 0x10000, 100, 1, 100, 30, 90},                     // past it, each number in turn
    {100 + 0x10000, 100 + 0x10000, 1, 100, 30, 90},
    {100 + 0x10000, 100 + 0x10000, 1, 100 + 0x10000, 30, 90},
    {3, 3, 1, 3, 30, 90},  // below the run's first
    {1, 0, 1, 0, 0, 0},
    {k32 - 1, k32 - 1, 0xFFFE, k32 - 1, 255, 255},
    {k32, 7, 1, 0, 0, 0},
    {1, k32, 1, 0, 0, 0},
    {1, 7, 1, k32, 0, 0},
    {1, 7, 0xFFFF, 0, 0, 0},  // the record's mark for a hit in the side table
    {1, 7, 0x10000, 0, 0, 0},
    {1, 7, 1, 0, 256, 0},
    {1, 7, 1, 0, 0, 256},
    {-1, -5, -2, 0, 0, 0},
    {std::int64_t{1} << 40, (std::int64_t{1} << 40) + 3, 1, (size_t{1} << 40) + 9, 30, 90},
    {2, 8, 0, 3, 30, 90},
};

TEST(PackedHits, EveryNumberRoundTripsAtAndPastItsFieldsLimits) {
  HitList list;
  const HitFile& a = list.AddFile(u"/d/", u"a.txt", 0);
  const HitFile& b = list.AddFile(u"/d/", u"b.txt", 0);
  std::vector<Hit> put;
  for (int round = 0; round < 2; ++round)
    for (const Numbers& n : kEdges) put.push_back(MakeHit(round == 0 ? a : b, n));
  for (const Hit& hit : put) list.Append(hit);
  ASSERT_EQ(list.size(), put.size());
  for (size_t i = 0; i < put.size(); ++i) {
    SCOPED_TRACE(i);
    const Hit got = list[i];
    EXPECT_EQ(got.line, put[i].line);
    EXPECT_EQ(got.position, put[i].position);
    EXPECT_EQ(got.length, put[i].length);
    EXPECT_EQ(got.LeftView().Start(), kEdges[i % kEdges.size()].contextStart);
    EXPECT_EQ(got.LeftView().size(), kEdges[i % kEdges.size()].left);
    EXPECT_EQ(got.RightView().size(), kEdges[i % kEdges.size()].right);
    EXPECT_TRUE(got == put[i]);
  }
}

// Files whose hits end just before, at and just after a chunk's end, one of a
// single hit that starts a chunk, and one longer than a chunk.
TEST(PackedHits, EachHitsFileIsFoundAroundChunkEnds) {
  const std::vector<size_t> counts = {kChunk - 1, 1, 1, kChunk - 2, 3, kChunk + 5, 2, 1};
  HitList list;
  std::vector<const HitFile*> expected;
  for (size_t f = 0; f < counts.size(); ++f) {
    const HitFile& file = list.AddFile(u"/d/", u"f" + std::u16string(1, char16_t(u'a' + f)), 0);
    for (size_t i = 0; i < counts[f]; ++i) {
      list.Append(MakeHit(file, {static_cast<std::int64_t>(i + 1), static_cast<std::int64_t>(i), 1, i, 0, 0}));
      expected.push_back(&file);
    }
  }
  ASSERT_EQ(list.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    if (&list.FileOf(i) != expected[i] || &list[i].File() != expected[i]) FAIL() << "hit " << i;
}

class PackedListEdits : public testing::Test {
 protected:
  // Three files; the middle one's hits start one before a chunk's end, and
  // every file's second hit is one for the side table.
  void SetUp() override {
    for (const char16_t* name : {u"a.txt", u"b.txt", u"c.txt"}) files.push_back(&list.AddFile(u"/d/", name, 0));
    Add(list, *files[0], kChunk - 1);
    Add(list, *files[1], 3);
    Add(list, *files[2], 4);
  }
  static void Add(HitList& to, const HitFile& file, size_t count) {
    for (size_t i = 0; i < count; ++i)
      to.Append(MakeHit(file, {static_cast<std::int64_t>(i + 1), i == 1 ? k32 + 1 : static_cast<std::int64_t>(i),
                               1, i, i == 1 ? size_t{300} : 0, 0}));
  }
  std::vector<Hit> All(const HitList& from) const { return {from.begin(), from.end()}; }
  HitList list;
  std::vector<const HitFile*> files;
};

TEST_F(PackedListEdits, ReplacingAFilesHitsKeepsTheOthersExactly) {
  std::vector<Hit> expected = All(list);
  HitList fresh;
  const HitFile& again = fresh.AddFile(u"/d/", u"b.txt", 0);
  Add(fresh, again, 5);
  const std::vector<Hit> freshHits = All(fresh);
  expected.erase(expected.begin() + (kChunk - 1), expected.begin() + (kChunk + 2));
  expected.insert(expected.begin() + (kChunk - 1), freshHits.begin(), freshHits.end());
  list.ReplaceFileHits(*files[1], std::move(fresh));
  EXPECT_TRUE(All(list) == expected);
  EXPECT_EQ(&list.FileOf(kChunk + 3), &again);
  EXPECT_EQ(list.Files(), (std::vector<const HitFile*>{files[0], &again, files[2]}));
}

TEST_F(PackedListEdits, KeepingOneFileKeepsItsHitsExactly) {
  const std::vector<Hit> all = All(list);
  list.KeepOnlyFile(u"/d/c.txt");
  EXPECT_TRUE(All(list) == std::vector<Hit>(all.end() - 4, all.end()));
  EXPECT_EQ(list[1].position, k32 + 1);
}

// The taken hits land from one before a chunk's end on, their wide one first in the next chunk.
TEST_F(PackedListEdits, TakingAListAcrossAChunksEndShiftsItsSideTable) {
  list.KeepOnlyFile(u"/d/a.txt");
  HitList more;
  const HitFile& d = more.AddFile(u"/d/", u"d.txt", 0);
  Add(more, d, 3);
  std::vector<Hit> expected = All(list);
  const std::vector<Hit> moreHits = All(more);
  expected.insert(expected.end(), moreHits.begin(), moreHits.end());
  list.Take(std::move(more));
  EXPECT_TRUE(All(list) == expected);
  EXPECT_EQ(list[kChunk].position, k32 + 1);
  EXPECT_EQ(&list.FileOf(kChunk + 1), &d);
  EXPECT_EQ(more.size(), 0u);
}

}  // namespace
}  // namespace trawlscope
