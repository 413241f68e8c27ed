#include "results/HitExport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "results/HitRecords.h"
#include "platform/files/NativePath.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

TEST(FlattenField, EveryBreakAndTabBecomesOneIdeographicSpace) {
  EXPECT_EQ(FlattenField(u"a\r\nb"), u"a\x3000" "b");
  EXPECT_EQ(FlattenField(u"a\n\rb"), u"a\x3000\x3000" "b");
  EXPECT_EQ(FlattenField(u"\t\r\r\n\n"), u"\x3000\x3000\x3000\x3000");
  EXPECT_EQ(FlattenField(u"plain"), u"plain");
}

TEST(ExportHits, MarkThenOneLittleEndianRecordPerHit) {
  test::TempTree tree;
  const std::u16string path = FromNativePath(tree.Path("out.txt"));
  HitList hits;
  ASSERT_TRUE(ExportHits(hits, path).Ok());
  EXPECT_EQ(tree.Read("out.txt"), "\xFF\xFE");
  hits.AppendStandalone(u"/d/", u"f.txt", u"L\t", u"字", u"\r\n", 1, 0);
  const std::string expected = std::string("\xFF\xFE", 2) + std::string("f\0.\0t\0x\0t\0\t\0", 12) +
                               std::string("L\0\x00\x30\t\0", 6) + std::string("\x57\x5B\t\0", 4) +
                               std::string("\x00\x30\n\0", 4);
  ASSERT_TRUE(ExportHits(hits, path).Ok());
  EXPECT_EQ(tree.Read("out.txt"), expected);
}

TEST(ExportText, FileNamesAreFlattenedAndBytesThatAreNotTextBecomeReplacementCharacters) {
  // A TAB or a line break in a name must not split the record; lone
  // surrogates (the escapes of invalid name bytes) are rejected by readers.
  HitList hits;
  hits.AppendStandalone(u"/d/", u"a\tb\nc\xDC93\xDC5C.txt", u"", u"k", u"", 1, 0);
  EXPECT_EQ(ExportText(hits), u"a\x3000" u"b\x3000" u"c\uFFFD\\.txt\t\tk\t\n");
}

// A small RFC 4180 reader: CRLF records, fields quoted when they hold a
// comma, a quote or a line break, a quote doubled inside.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      records.back().back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      records.back().emplace_back();
    } else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      if (i + 1 < text.size()) records.emplace_back(1);
    } else {
      records.back().back() += c;
    }
  }
  return records;
}

TEST(CsvExport, TheShownHitsReadBackFieldForFieldInUtf8) {
  HitList hits;
  hits.AppendStandalone(u"/d/", u"a,\"b\".txt", u"x = \"", u"鍵", u"\",\r\nnext", 12, 340);
  hits.AppendStandalone(u"/d/", u"hidden.txt", u"", u"k", u"", 1, 0);
  hits.AppendStandalone(u"/d/", u"half\xDC93.txt", u"\xD800", u"k", u"\t", 2, 5);
  test::TempTree tree;
  const std::u16string path = FromNativePath(tree.Path("out.csv"));
  ASSERT_TRUE(ExportHits(std::vector<Hit>{hits[0], hits[2]}, path, ExportFormat::Csv).Ok());
  std::ifstream in(tree.Path("out.csv"), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const auto records = ReadCsv(bytes.str());
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0], (std::vector<std::string>{"path", "line", "position", "length", "code_page", "left_context",
                                                   "keyword", "right_context"}));
  EXPECT_EQ(records[1], (std::vector<std::string>{"/d/a,\"b\".txt", "12", "340", "1", "0", "x = \"", "鍵",
                                                   "\",\r\nnext"}));
  // A name's byte that is not text is escaped, so that the name reads back; a lone half of a pair becomes U+FFFD.
  EXPECT_EQ(records[2][0], "/d/half\\x93.txt");
  EXPECT_EQ(records[2][5], "\xEF\xBF\xBD");
  EXPECT_EQ(records[2][7], "\t");
}

}  // namespace
}  // namespace trawlscope
