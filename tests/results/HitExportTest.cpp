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

}  // namespace
}  // namespace trawlscope
