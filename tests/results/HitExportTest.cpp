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
  auto hit = std::make_unique<Hit>();
  hit->folder = u"/d/";
  hit->fileName = u"f.txt";
  hit->leftContext = u"L\t";
  hit->keyword = u"字";
  hit->rightContext = u"\r\n";
  hits.Append(std::move(hit));
  const std::string expected = std::string("\xFF\xFE", 2) + std::string("f\0.\0t\0x\0t\0\t\0", 12) +
                               std::string("L\0\x00\x30\t\0", 6) + std::string("\x57\x5B\t\0", 4) +
                               std::string("\x00\x30\n\0", 4);
  EXPECT_EQ(ExportBytes(hits), expected);
}

TEST(ExportText, FileNamesAreFlattenedAndBytesThatAreNotTextBecomeReplacementCharacters) {
  // A TAB or a line break in a name must not split the record; lone
  // surrogates (the escapes of invalid name bytes) are rejected by readers.
  HitList hits;
  auto hit = std::make_unique<Hit>();
  hit->fileName = u"a\tb\nc\xDC93\xDC5C.txt";
  hit->keyword = u"k";
  hits.Append(std::move(hit));
  EXPECT_EQ(ExportText(hits), u"a\x3000" u"b\x3000" u"c\uFFFD\\.txt\t\tk\t\n");
}

}  // namespace
}  // namespace trawlscope
