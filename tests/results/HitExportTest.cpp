#include "results/HitExport.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

TEST(FlattenField, EveryBreakAndTabBecomesOneIdeographicSpace) {
  EXPECT_EQ(FlattenField(u"a\r\nb"), u"a\x3000" "b");
  EXPECT_EQ(FlattenField(u"a\n\rb"), u"a\x3000\x3000" "b");
  EXPECT_EQ(FlattenField(u"\t\r\r\n\n"), u"\x3000\x3000\x3000\x3000");
  EXPECT_EQ(FlattenField(u"plain"), u"plain");
}

TEST(ExportBytes, MarkThenOneLittleEndianRecordPerHit) {
  HitList hits;
  EXPECT_EQ(ExportBytes(hits), "\xFF\xFE");
  hits.AppendStandalone(u"/d/", u"f.txt", u"L\t", u"字", u"\r\n", 1, 0);
  const std::string expected = std::string("\xFF\xFE", 2) + std::string("f\0.\0t\0x\0t\0\t\0", 12) +
                               std::string("L\0\x00\x30\t\0", 6) + std::string("\x57\x5B\t\0", 4) +
                               std::string("\x00\x30\n\0", 4);
  EXPECT_EQ(ExportBytes(hits), expected);
}

TEST(ExportText, FileNamesAreFlattenedAndBytesThatAreNotTextBecomeReplacementCharacters) {
  // A TAB or a line break in a name must not split the record; lone
  // surrogates (the escapes of invalid name bytes) are rejected by readers.
  HitList hits;
  hits.AppendStandalone(u"/d/", u"a\tb\nc\xDC93\xDC5C.txt", u"", u"k", u"", 1, 0);
  EXPECT_EQ(ExportText(hits), u"a\x3000" u"b\x3000" u"c\uFFFD\\.txt\t\tk\t\n");
}

}  // namespace
}  // namespace trawlscope
