#include "results/HitText.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

Hit MakeHit(std::u16string folder, std::u16string name, std::int64_t line, std::u16string left,
            std::u16string keyword, std::u16string right) {
  Hit hit;
  hit.folder = std::move(folder);
  hit.fileName = std::move(name);
  hit.line = line;
  hit.leftContext = std::move(left);
  hit.keyword = std::move(keyword);
  hit.rightContext = std::move(right);
  return hit;
}

// A row pasted into a spreadsheet or an editor stays one line with its five
// fields in their columns, whatever breaks and TABs the contexts held.
TEST(CopiedRowsText, OneFlattenedLinePerHitWithPathAndLine) {
  const Hit first = MakeHit(u"/src/a/", u"CPU_SET.3", 12, u"x\ty\r\n", u"関数", u"\rend");
  const Hit second = MakeHit(u"/src/b/", u"f.txt", 3000000000LL, u"", u"k", u"");
  EXPECT_EQ(CopiedRowsText({}), u"");
  EXPECT_EQ(CopiedRowsText({&first, &second}),
            u"/src/a/CPU_SET.3\t12\tx\x3000y\x3000\t関数\t\x3000" u"end\n"
            u"/src/b/f.txt\t3000000000\t\tk\t\n");
}

// Bytes of a name that are not text are shown as U+FFFD, as in the output file.
TEST(CopiedRowsText, NameBytesThatAreNotTextBecomeReplacementCharacters) {
  const Hit hit = MakeHit(u"/d/", u"n\xDCFF.txt", 1, u"", u"k", u"");
  EXPECT_EQ(CopiedRowsText({&hit}), u"/d/n\uFFFD.txt\t1\t\tk\t\n");
}

TEST(CopiedPathsText, EachFileOnceInTheRowsOrder) {
  const Hit a1 = MakeHit(u"/d/", u"b.txt", 1, u"", u"k", u"");
  const Hit a2 = MakeHit(u"/d/", u"b.txt", 9, u"", u"k", u"");
  const Hit other = MakeHit(u"/e/", u"b.txt", 2, u"", u"k", u"");
  EXPECT_EQ(CopiedPathsText({&a1, &other, &a2}), u"/d/b.txt\n/e/b.txt\n");
}

TEST(HitToolTip, FullPathLineAndCodePageWhenKnown) {
  Hit hit = MakeHit(u"/home/u/man3/", u"CPU_SET.3", 42, u"", u"k", u"");
  hit.codePage = 932;
  EXPECT_EQ(HitToolTip(hit), u"/home/u/man3/CPU_SET.3\nLine 42\nCode page 932");
  hit.codePage = 0;
  EXPECT_EQ(HitToolTip(hit), u"/home/u/man3/CPU_SET.3\nLine 42");
}

}  // namespace
}  // namespace trawlscope
