#include "results/HitText.h"

#include <gtest/gtest.h>

#include "search/hits/HitList.h"

namespace trawlscope {
namespace {

Hit AddHit(HitList& list, std::u16string folder, std::u16string name, std::int64_t line,
               std::u16string_view left, std::u16string_view keyword, std::u16string_view right) {
  list.AppendStandalone(std::move(folder), std::move(name), left, keyword, right, line, 0);
  return list[list.size() - 1];
}

// A row pasted into a spreadsheet or an editor stays one line with its five
// fields in their columns, whatever breaks and TABs the contexts held.
TEST(CopiedRowsText, OneFlattenedLinePerHitWithPathAndLine) {
  HitList list;
  const Hit first = AddHit(list, u"/src/a/", u"CPU_SET.3", 12, u"x\ty\r\n", u"関数", u"\rend");
  const Hit second = AddHit(list, u"/src/b/", u"f.txt", 3000000000LL, u"", u"k", u"");
  EXPECT_EQ(CopiedRowsText({}), u"");
  EXPECT_EQ(CopiedRowsText({first, second}),
            u"/src/a/CPU_SET.3\t12\tx\x3000y\x3000\t関数\t\x3000" u"end\n"
            u"/src/b/f.txt\t3000000000\t\tk\t\n");
}

// Bytes of a name that are not text are shown as U+FFFD, as in the output file.
TEST(CopiedRowsText, NameBytesThatAreNotTextBecomeReplacementCharacters) {
  HitList list;
  const Hit hit = AddHit(list, u"/d/", u"n\xDCFF.txt", 1, u"", u"k", u"");
  EXPECT_EQ(CopiedRowsText({hit}), u"/d/n\uFFFD.txt\t1\t\tk\t\n");
}

TEST(CopiedPathsText, EachFileOnceInTheRowsOrder) {
  HitList list;
  const Hit a1 = AddHit(list, u"/d/", u"b.txt", 1, u"", u"k", u"");
  const Hit a2 = AddHit(list, u"/d/", u"b.txt", 9, u"", u"k", u"");
  const Hit other = AddHit(list, u"/e/", u"b.txt", 2, u"", u"k", u"");
  EXPECT_EQ(CopiedPathsText({a1, other, a2}), u"/d/b.txt\n/e/b.txt\n");
}

}  // namespace
}  // namespace trawlscope
