// trawlscope-batch --context, --before-context and --after-context: the
// lines around each hit as grep -n -H prints them, in each file's own page.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/ArchiveMaker.h"
#include "support/ShellRun.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace {

using trawlscope::test::TempTree;
using trawlscope::test::Transcode;

using Ran = trawlscope::test::ShellRun;
using trawlscope::test::RunShell;

class BatchContextTest : public testing::Test {
 protected:
  TempTree tree;

  Ran Batch(const std::string& arguments) {
    return RunShell("export LANGUAGE=en LC_ALL=C.UTF-8 XDG_CACHE_HOME='" + tree.Path("cache") + "'; " +
               TRAWLSCOPE_BATCH + " --no-codepage-cache --path '" + tree.Path("in") + "' " + arguments +
               " 2>'" + tree.Path("stderr.txt") + "'");
  }
};

// Lines of "line N" with the word at the lines named.
std::string Numbered(int lines, std::initializer_list<int> hits) {
  std::string text;
  for (int n = 1; n <= lines; ++n) {
    text += "line " + std::to_string(n);
    for (const int hit : hits) text += hit == n ? " needle" : "";
    text += '\n';
  }
  return text;
}

TEST_F(BatchContextTest, PrintsWhatGrepPrintsAroundTheHitsOfUtf8Files) {
  if (access("/usr/bin/grep", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/grep to compare with";
  // A file past 2 MiB is searched, and read again, in pieces, with whole
  // pieces of ASCII between its hits, which are only counted.
  std::string big;
  for (int n = 1; n <= 250000; ++n) big += (n % 120000 == 7 ? "関数 needle " : "filler ") + std::to_string(n) + "\n";
  const struct {
    const char* options;
    std::string a;
    std::string b;
  } cases[] = {
      {"-C 1", Numbered(20, {2, 4, 9, 20}), Numbered(3, {1})},
      {"-B 2", Numbered(12, {1, 5, 6, 11}), "no newline at the end needle"},
      {"-A 3", Numbered(12, {3, 7, 12}), Numbered(5, {5})},
      {"-C 0", Numbered(6, {1, 2, 4}), "needle needle\n"},
      // Counts of their own win over --context whatever the order, as in grep.
      {"--after-context 0 --context 2", Numbered(15, {3, 9}), ""},
      {"-B 0 -C 2", "\n\nempty lines needle\n\n\n", "\tTAB needle\n"},
      {"--context 2", big, Numbered(2, {2})},
      {"-A 1", big + "last needle", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    const std::string a = tree.Write("in/a.txt", c.a);
    const std::string b = tree.Write("in/b.txt", c.b);
    const Ran grep = RunShell(std::string("LC_ALL=C.UTF-8 /usr/bin/grep -n -H ") + c.options + " needle '" + a + "' '" +
                         b + "'");
    const Ran ours = Batch(std::string("--case ") + c.options + " needle");
    EXPECT_EQ(ours.status, 0);
    EXPECT_EQ(ours.out, grep.out);
  }
}

// Lines are those of the editors (a lone CR ends one, as grep's count does not),
// the text as the file's page reads it, written out in UTF-8.
TEST_F(BatchContextTest, LegacyPagesAndUtf16AreShownDecodedWithTheEditorsLineNumbers) {
  const std::string text = "一行目\r\n二行目 関数\r三行目\r\n四行目\r\n五行目\r\n六行目 関数\r\n";
  const std::string sjis = tree.Write("in/a-sjis.txt", Transcode(text, "windows-31j"));
  const std::string utf16 = tree.Write("in/b-utf16.txt", "\xFF\xFE" + Transcode(text, "UTF-16LE"));
  for (const std::string& path : {sjis, utf16}) {
    SCOPED_TRACE(path);
    const Ran ran = Batch("-B 1 --after-context 1 関数 --types '" + path.substr(path.rfind('/') + 1) + "'");
    EXPECT_EQ(ran.out, path + "-1-一行目\n" + path + ":2:二行目 関数\n" + path + "-3-三行目\n--\n" + path +
                           "-5-五行目\n" + path + ":6:六行目 関数\n");
  }
}

// A member is not expanded again, and an XPath's hits are in its nodes' text,
// not the file's: their hit lines show as far as the hits' contexts reach.
TEST_F(BatchContextTest, MembersAndXPathHitsShowTheirHitLinesAlone) {
  trawlscope::test::WriteStream(tree.Path("in/notes.txt.gz"), "gzip", "one\ntwo needle\nthree\nfour needle\n");
  const std::string gz = tree.Path("in/notes.txt.gz");
  EXPECT_EQ(Batch("-C 1 needle").out, gz + ":2:two needle\n--\n" + gz + ":4:four needle\n");
  std::filesystem::remove(gz);
  const std::string xml =
      tree.Write("in/d.xml", "<?xml version=\"1.0\"?>\n<r>\n <a>needle a</a>\n <b>needle b</b>\n</r>\n");
  EXPECT_EQ(Batch("--xpath //b -C 1 needle").out, xml + ":1:needle b\n");
}

TEST_F(BatchContextTest, CountsAreRefusedWithTheOutputsScriptsReadAndWhenNotACount) {
  const struct {
    const char* options;
    const char* said;
  } cases[] = {
      {"-C 1 --format json", "--context goes with a search, not with"},
      {"--replace x -A 1", "--context goes with a search, not with"},
      {"-B 1 --with-codepage", "--context goes with a search, not with"},
      {"-C -1", "--context needs a number of lines (0 or more)"},
      {"--after-context 1x", "--after-context needs a number of lines (0 or more)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    EXPECT_EQ(Batch(std::string(c.options) + " needle").status, 2);
    EXPECT_NE(tree.Read("stderr.txt").find(c.said), std::string::npos) << tree.Read("stderr.txt");
  }
}

}  // namespace
