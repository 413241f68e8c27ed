#include "search/FileSearcher.h"

#include <gtest/gtest.h>

#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;

class FileSearcherTest : public testing::Test {
 protected:
  TempTree tree;
  AbortFlag abort{false};
  HitList hits;

  void Search(const std::string& relative, const std::u16string& pattern, bool useRegex = false,
              bool caseSensitive = true, int contextLength = 30) {
    CFileSearcher searcher;
    searcher.Prepare(useRegex, caseSensitive, pattern, u"");
    searcher.SearchFile(abort, U16(tree.Path(relative)), hits, contextLength);
  }
};

TEST_F(FileSearcherTest, HitCarriesFileContextsLineAndPosition) {
  tree.Write("dir/a.txt", "first line\r\nsecond keyword here\n");
  Search("dir/a.txt", u"keyword");
  ASSERT_EQ(hits.size(), 1u);
  const Hit& hit = hits[0];
  EXPECT_EQ(hit.folder, U16(tree.Path("dir/")));
  EXPECT_EQ(hit.fileName, u"a.txt");
  EXPECT_EQ(hit.leftContext, u"first line\r\nsecond ");
  EXPECT_EQ(hit.keyword, u"keyword");
  EXPECT_EQ(hit.rightContext, u" here\n");
  EXPECT_EQ(hit.line, 2);
  EXPECT_EQ(hit.position, 19);
  EXPECT_EQ(hit.length, 7);
}

TEST_F(FileSearcherTest, ContextsAreCutAtTheirLengthAndAtTheTextsEnds) {
  tree.Write("c.txt", std::string(10, 'L') + "X" + std::string(200, 'R'));
  Search("c.txt", u"X");
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].leftContext.size(), 10u);
  EXPECT_EQ(hits[0].rightContext.size(), 90u);
  tree.Write("d.txt", "Xmiddle" + std::string(40, '-') + "Y");
  hits.Clear();
  Search("d.txt", u"X");
  Search("d.txt", u"Y");
  EXPECT_EQ(hits[0].leftContext, u"");
  EXPECT_EQ(hits[1].leftContext.size(), 30u);
  EXPECT_EQ(hits[1].rightContext, u"");
}

TEST_F(FileSearcherTest, CaseInsensitiveHitKeepsTheFilesOwnLetters) {
  tree.Write("a.txt", "Some WORD and a word");
  Search("a.txt", u"word", false, false);
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0].keyword, u"WORD");
  EXPECT_EQ(hits[1].keyword, u"word");
}

TEST_F(FileSearcherTest, SameHitsInEveryEncodingOfAFile) {
  const std::string text = std::string("Header line\n") + test::kJapaneseSentence + "\n末尾の名前\n";
  const std::pair<const char*, std::string> files[] = {
      {"sjis.txt", Transcode(text, "windows-31j")},
      {"euc.txt", Transcode(text, "EUC-JP")},
      {"jis.txt", Transcode(text, "ISO-2022-JP")},
      {"utf8.txt", text},
      {"utf8bom.txt", "\xEF\xBB\xBF" + text},
      {"utf16le.txt", "\xFF\xFE" + Transcode(text, "UTF-16LE")},
      {"utf16be.txt", "\xFE\xFF" + Transcode(text, "UTF-16BE")},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    tree.Write(name, bytes);
    hits.Clear();
    Search(name, u"名前");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].line, 2);
    EXPECT_EQ(hits[1].line, 3);
    // Positions count from the first character after a byte-order mark.
    EXPECT_EQ(hits[0].position, 12 + 8);
    EXPECT_EQ(hits[1].rightContext, u"\n");
  }
}

TEST_F(FileSearcherTest, EmptyAndUnreadableFilesGiveNoHits) {
  tree.Write("empty.txt");
  Search("empty.txt", u"x");
  Search("missing.txt", u"x");
  EXPECT_EQ(hits.size(), 0u);
}

// A file skipped without decoding must be one that decoding would not have
// found anything in: these hide an occurrence behind a second byte form.
TEST_F(FileSearcherTest, FilesWithOtherByteFormsOfTheTextAreStillSearched) {
  // CP932 writes "≒" both as 81 E0 and as the NEC form 87 90.
  tree.Write("nec.txt", "\x87\x90 \x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB");
  Search("nec.txt", u"≒");
  EXPECT_EQ(hits.size(), 1u);
  // KELVIN SIGN folds to "k".
  tree.Write("kelvin.txt", "300 \xE2\x84\xAA is warm");
  Search("kelvin.txt", u"K", false, false);
  EXPECT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[1].keyword, u"\x212A");
}

TEST_F(FileSearcherTest, AsciiFileAndExpressionWithHits) {
  tree.Write("code.c", "int Foo_bar;\n/* Baz_qux */\n");
  Search("code.c", u"[A-Z][a-z]+_[a-z]+", true, true);
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[1].keyword, u"Baz_qux");
  EXPECT_EQ(hits[1].line, 2);
  EXPECT_EQ(hits[1].leftContext, u"int Foo_bar;\n/* ");
}

}  // namespace
}  // namespace trawlscope
