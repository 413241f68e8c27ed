// trawlscope-batch run as a user runs it, over real files in a temporary tree.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ArchiveMaker.h"
#include "support/ShellRun.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace {

using trawlscope::test::TempTree;

using RunResult = trawlscope::test::ShellRun;

// The language the tool speaks follows these, whatever the machine's own.
constexpr char kEnglish[] = "unset LC_MESSAGES LANG; export LANGUAGE=en LC_ALL=C.UTF-8; ";

// Runs the tool with `arguments` (already shell-quoted), stderr to `errFile`.
// The undo journal, the settings and the caches are beside `errFile`, never the user's own.
// `environment` is shell words run just before the tool, to change what it sees.
std::string BatchCommand(const std::string& arguments, const std::string& errFile, const std::string& language,
                         const std::string& environment = "") {
  const std::string folder = errFile.substr(0, errFile.rfind('/'));
  // Exported, so that every command of a pipe sees them.
  return language + "export XDG_STATE_HOME='" + folder + "/state' XDG_CONFIG_HOME='" + folder + "/config' " +
         "XDG_CACHE_HOME='" + folder + "/cache'; " +
         environment + " exec " + std::string(TRAWLSCOPE_BATCH) + " " + arguments + " 2>" + errFile;
}

RunResult RunBatch(const std::string& arguments, const std::string& errFile, const std::string& language = kEnglish,
                   const std::string& environment = "") {
  return trawlscope::test::RunShell(BatchCommand(arguments, errFile, language, environment));
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class BatchToolTest : public testing::Test {
 protected:
  TempTree tree;
  std::string err = tree.Path("stderr.txt");

  void SetUp() override {
    tree.Write("docs/a.txt", "alpha 関数\r\nbeta\t関数\n");
    tree.Write("docs/sub/b.txt", trawlscope::test::Transcode("別の関数です\n", "windows-31j"));
    tree.Write("docs/skip.md", "関数");
  }
};

TEST_F(BatchToolTest, PrintsOneLinePerHitAndACountOnStderr) {
  const RunResult run = RunBatch("--path " + Quoted(tree.Path("docs")) + " --subfolders 関数", err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, tree.Path("docs/a.txt") + "\t1\t6\t2\t関数\n" + tree.Path("docs/a.txt") +
                         "\t2\t15\t2\t関数\n" + tree.Path("docs/skip.md") + "\t1\t0\t2\t関数\n" +
                         tree.Path("docs/sub/b.txt") + "\t1\t2\t2\t関数\n");
  EXPECT_EQ(tree.Read("stderr.txt"), "4 hits in 3 files\n");
}

// Sizes and times set as a user would, a file on each side of every bound; a
// date is read in the zone the tool runs in unless it gives an offset.
TEST_F(BatchToolTest, SizeAndTimeBoundsLeaveOutTheFilesBeyondThemAndCountThem) {
  const std::string zone = "export TZ=JST-9; ";
  const struct {
    const char* name;
    size_t size;
    const char* modified;  // as touch -d reads it; empty: now
  } files[] = {{"aged/w.txt", 10, ""},
               {"aged/x.txt", 1023, "2020-06-01 08:59:59"},
               {"aged/y.txt", 1024, "2020-06-01 09:00:00"},
               {"aged/z.txt", 1025, "2020-06-01 09:00:01"}};
  for (const auto& file : files) {
    tree.Write(file.name, "needle" + std::string(file.size - 6, '.'));
    const std::string touch = zone + "touch -d '" + file.modified + "' " + Quoted(tree.Path(file.name));
    if (*file.modified != '\0') {
      ASSERT_EQ(std::system(touch.c_str()), 0);
    }
  }
  const struct {
    std::string options;
    std::string found;
    size_t leftOut;
  } cases[] = {
      {"--min-size 1k", "yz", 2},
      {"--max-size 1024", "wxy", 1},
      {"--min-size 1K --max-size 1k", "y", 3},
      {"--newer 2020-06-01T09:00", "wyz", 1},
      {"--older 2020-06-01T09:00", "x", 3},
      {"--newer 2020-06-01T00:00:01Z", "wz", 2},
      {"--older 2020-06-01", "", 4},
      {"--newer 12h", "w", 3},
      {"--older 1d --max-size 1k", "xy", 2},
  };
  for (const auto& c : cases) {
    const RunResult run = RunBatch("--path " + Quoted(tree.Path("aged")) + " " + c.options + " needle", err, kEnglish, zone);
    std::string found;
    for (size_t at = 0; (at = run.out.find(".txt\t", at)) != std::string::npos; ++at) found += run.out[at - 1];
    EXPECT_EQ(run.status, c.found.empty() ? 1 : 0) << c.options;
    EXPECT_EQ(found, c.found) << c.options;
    const std::string hits = std::to_string(c.found.size());
    EXPECT_EQ(tree.Read("stderr.txt"), "Left out: " + std::to_string(c.leftOut) + (c.leftOut == 1 ? " file" : " files") +
                                           ".\n" + hits + " hits in " + hits + " files\n")
        << c.options;
  }
}

TEST_F(BatchToolTest, BadSizeOrTimeBoundsAreUsageErrorsNamingTheOption) {
  const struct {
    std::string options;
    std::string said;
  } cases[] = {
      {"--min-size 10x", "--min-size 10x: not a size"},
      {"--max-size", "--max-size needs a size"},
      {"--newer 2026-13-01", "--newer 2026-13-01: not a date"},
      {"--older yesterday", "--older yesterday: not a date"},
      {"--min-size 2k --max-size 1k", "--min-size is more than --max-size"},
      {"--newer 1d --older 2d", "--newer is not before --older"},
      {"--only-hits - --replace x --min-size 1k", "--only-hits names the files itself: no --min-size"},
  };
  for (const auto& c : cases) {
    const RunResult run = RunBatch("--path " + Quoted(tree.Path("docs")) + " needle " + c.options, err);
    EXPECT_EQ(run.status, 2) << c.options;
    EXPECT_EQ(tree.Read("stderr.txt").rfind("trawlscope-batch: " + c.said, 0), 0u) << tree.Read("stderr.txt");
  }
}

// The pattern once decided which subfolders were entered too, and "sub" does not fit "*.TXT".
// A search keeps the pages it detects in a private file of its own under
// XDG_CACHE_HOME (a damaged one is replaced), and prints the same with it or without it.
TEST_F(BatchToolTest, TheCodePageCacheIsPrivateAndChangesNoOutput) {
  const std::string path = "--subfolders --path " + Quoted(tree.Path("docs"));
  const RunResult without = RunBatch(path + " --no-codepage-cache 関数", err);
  EXPECT_FALSE(std::filesystem::exists(tree.Path("cache")));
  const std::string file = tree.Write("cache/trawlscope/codepages-batch", "damaged");
  chmod(tree.Path("cache/trawlscope").c_str(), 0700);
  chmod(file.c_str(), 0600);
  EXPECT_EQ(RunBatch(path + " 関数", err).out, without.out);
  EXPECT_EQ(tree.Read("cache/trawlscope/codepages-batch").substr(0, 8), "TSPAGES\n");
  struct stat info;
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(BatchToolTest, TheTypePatternTestsFileNamesAndEverySubfolderIsEntered) {
  const RunResult run =
      RunBatch("--path " + Quoted(tree.Path("docs")) + " --types '*.TXT' --subfolders 関数", err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(tree.Read("stderr.txt"), "3 hits in 2 files\n");
}

TEST_F(BatchToolTest, KeywordsAcrossLinesAreFlattenedAndOutputFileIsWritten) {
  const RunResult run = RunBatch("--path " + Quoted(tree.Path("docs/a.txt")) + " --regex --output " +
                                     Quoted(tree.Path("out.tsv")) + " '関数\\r\\nbeta'",
                                 err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, tree.Path("docs/a.txt") + "\t1\t6\t8\t関数\u3000beta\n");
  const std::string bytes = tree.Read("out.tsv");
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(bytes.back(), '\0');
  EXPECT_EQ(bytes[bytes.size() - 2], '\n');
}

TEST_F(BatchToolTest, CodePagesAreListedInsteadOfSearching) {
  const RunResult run =
      RunBatch("--path " + Quoted(tree.Path("docs")) + " --subfolders --codepages", err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, tree.Path("docs/a.txt") + "\t65001\t0\tUTF-8 (65001)\n" + tree.Path("docs/skip.md") +
                         "\t65001\t0\tUTF-8 (65001)\n" + tree.Path("docs/sub/b.txt") + "\t932\t0\tShift_JIS (932)\n");
}

TEST_F(BatchToolTest, UsageErrorsAndBadExpressionsExitWithTwo) {
  EXPECT_EQ(RunBatch("関数", err).status, 2);
  EXPECT_EQ(RunBatch("--path x", err).status, 2);
  EXPECT_EQ(RunBatch("--path x --bogus y", err).status, 2);
  EXPECT_EQ(RunBatch("--path x --codepages y", err).status, 2);
  EXPECT_EQ(RunBatch("--path x --format xml y", err).status, 2);
  EXPECT_EQ(RunBatch("--path x --format csv --with-codepage y", err).status, 2);
  for (const char* options : {"--quiet --count", "--null", "--files-with-hits --context 1", "--count --replace z"})
    EXPECT_EQ(RunBatch("--path x " + std::string(options) + " y", err).status, 2) << options;
  const RunResult bad = RunBatch("--path " + Quoted(tree.Path("docs")) + " --regex 'a('", err);
  EXPECT_EQ(bad.status, 2);
  // The library's description follows, with the place in the pattern.
  EXPECT_EQ(tree.Read("stderr.txt").rfind("The regular expression has an error.\n", 0), 0u);
  EXPECT_NE(tree.Read("stderr.txt").find("(at offset 2: a(>>>HERE>>>)"), std::string::npos);
  // Without --regex the same text is plain text.
  EXPECT_EQ(RunBatch("--path " + Quoted(tree.Path("docs")) + " 'a('", err).status, 1);
}

// grep's statuses: 0 found, 1 nothing found, 2 trouble, which wins over hits.
TEST_F(BatchToolTest, ExitStatusesAreGrepsAndTroubleWinsOverHits) {
  tree.Write("rep/c.txt", "関数");
  tree.Write("bad/cut.gz", std::string("\x1f\x8b\x08\x00", 4) + "broken");
  tree.Write("bad/d.txt", "関数");
  tree.Write("locked/e.txt", "関数");
  chmod(tree.Path("locked/e.txt").c_str(), 0);
  const std::string docs = Quoted(tree.Path("docs"));
  struct Case {
    std::string arguments;
    int status;
  };
  std::vector<Case> cases = {
      {"--path " + docs + " 関数", 0},
      {"--path " + docs + " nowhere", 1},
      {"--path '\"" + tree.Path("docs") + "\" \"" + tree.Path("gone") + "\"' 関数", 2},
      {"--path " + Quoted(tree.Path("bad")) + " 関数", 2},
      {"--path " + docs + " --regex 'a('", 2},
      {"--path " + docs + " --output " + Quoted(tree.Path("no/such/folder/out.txt")) + " 関数", 2},
      {"--path " + docs + " --replace x nowhere", 1},
      {"--path " + Quoted(tree.Path("rep")) + " --replace 函数 関数", 0},
      {"--path " + Quoted(tree.Path("rep")) + " --replace 函数 関数", 1},
      {"--path '\"" + tree.Path("rep") + "\" \"" + tree.Path("gone") + "\"' --replace x 函数", 2},
      {"--path '\"" + tree.Path("docs") + "\" \"" + tree.Path("gone") + "\"' --codepages", 2},
      // As grep -q: the first hit answers, even after trouble.
      {"--path " + docs + " --quiet 関数", 0},
      {"--path " + docs + " --quiet nowhere", 1},
      {"--path '\"" + tree.Path("gone") + "\" \"" + tree.Path("docs") + "\"' --quiet 関数", 0},
  };
  if (geteuid() != 0) cases.push_back({"--path " + Quoted(tree.Path("locked")) + " 関数", 2});  // root reads it
  for (const Case& c : cases) EXPECT_EQ(RunBatch(c.arguments, err).status, c.status) << c.arguments;
  chmod(tree.Path("locked/e.txt").c_str(), 0600);
  EXPECT_EQ(RunBatch("--path " + docs + " --quiet 関数", err).out, "");
  EXPECT_EQ(tree.Read("stderr.txt"), "");
}

// grep -l, -lZ and -cZ over UTF-8 files; grep cannot read the Shift_JIS file, which is found through its text.
TEST_F(BatchToolTest, FilesWithHitsAndCountPrintWhatGrepPrints) {
  tree.Write("u/one.txt", "関数 x 関数\nα 関数\n");
  tree.Write("u/two words.txt", "関数\n");
  tree.Write("u/none.txt", "nothing\n");
  tree.Write("u/sub/three.txt", "x関数\n");
  tree.Write("u/sjis.txt", trawlscope::test::Transcode("別の関数です\n", "windows-31j"));
  tree.Write("odd/new\nline.txt", "関数\n");
  tree.Write("odd/tab\there.txt", "関数\n");
  const std::string u = " --path " + Quoted(tree.Path("u")) + " --subfolders ";
  const std::string odd = " --path " + Quoted(tree.Path("odd")) + " ";
  const auto shell = [](const std::string& command) { return trawlscope::test::RunShell(command).out; };
  const RunResult names = RunBatch(u + "--files-with-hits 関数 | LC_ALL=C sort", err);
  EXPECT_EQ(names.status, 0);
  EXPECT_EQ(names.out, shell("{ grep -rl 関数 " + Quoted(tree.Path("u")) + "; echo " + Quoted(tree.Path("u/sjis.txt")) +
                             "; } | LC_ALL=C sort"));
  EXPECT_EQ(RunBatch(odd + "--files-with-hits --null 関数 | LC_ALL=C sort -z", err).out,
            shell("grep -rlZ 関数 " + Quoted(tree.Path("odd")) + " | LC_ALL=C sort -z"));
  // One hit a line: grep's line count is the hit count.
  const std::string tab = Quoted(tree.Path("odd/tab\there.txt"));
  EXPECT_EQ(RunBatch(" --path " + tab + " --count --null 関数", err).out, shell("grep -HcZ 関数 " + tab));
  EXPECT_EQ(RunBatch(u + "--count 関数", err).out, tree.Path("u/one.txt") + ":3\n" + tree.Path("u/sjis.txt") +
                                                      ":1\n" + tree.Path("u/sub/three.txt") + ":1\n" +
                                                      tree.Path("u/two words.txt") + ":1\n");
  EXPECT_EQ(RunBatch(u + "--count nowhere", err).status, 1);
}

TEST_F(BatchToolTest, HelpNamesEveryOptionTheOutputsAndTheExitStatuses) {
  const RunResult run = RunBatch("--path x --help", err);  // wherever it stands
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("usage: trawlscope-batch --path TEXT", 0), 0u);
  for (const char* word :
       {"--path TEXT", "--types PATTERN", "--subfolders", "--regex", "--case", "--xpath EXPR",
        "--output FILE", "--replace TEXT", "--only-hits FILE", "--no-compressed", "ARCHIVE//MEMBER", "--undo ", "--undo-list", "--codepages",
        "--help", "--version", "PATH TAB LINE TAB POSITION TAB LENGTH TAB KEYWORD", "changed N",
        "left unchanged: REASON", "CODE-PAGE TAB BOM TAB NAME", "--encoding PAGE", "--with-codepage",
        "--format FORMAT", "--files-with-hits", "--count", "--null", "--quiet", "Exit status", "  1 ", "  2 ",
        "  130 "})
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  size_t lineStart = 0;
  for (size_t end; (end = run.out.find('\n', lineStart)) != std::string::npos; lineStart = end + 1)
    EXPECT_LE(end - lineStart, 79u) << run.out.substr(lineStart, end - lineStart);
  EXPECT_EQ(tree.Read("stderr.txt"), "");
}

TEST_F(BatchToolTest, HelpAsTheValueOfAnOptionIsThatValue) {
  const RunResult run = RunBatch("--path " + Quoted(tree.Path("docs")) + " --replace --help 関数x", err);
  EXPECT_EQ(run.status, 1);  // nothing held the text
  EXPECT_EQ(run.out, tree.Path("docs/a.txt") + "\tunchanged\n" + tree.Path("docs/skip.md") + "\tunchanged\n");
}

TEST_F(BatchToolTest, VersionIsTheProjectVersion) {
  const RunResult run = RunBatch("--version", err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string("trawlscope-batch ") + TRAWLSCOPE_VERSION + "\n");
}

TEST_F(BatchToolTest, AnUnknownOptionIsNamedWithAHintNotTheWholeHelp) {
  const RunResult run = RunBatch("--path x --bogus 関数", err);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(tree.Read("stderr.txt"),
            "trawlscope-batch: unknown option --bogus\nTry 'trawlscope-batch --help' for more information.\n");
}

TEST_F(BatchToolTest, ReplacePrintsEveryFilesOutcome) {
  tree.Write("docs/ro.txt", "関数");
  chmod(tree.Path("docs/ro.txt").c_str(), 0444);
  const RunResult run =
      RunBatch("--path " + Quoted(tree.Path("docs")) + " --subfolders --replace 函数 関数", err);
  EXPECT_EQ(run.status, 2);  // a file that held the text was left as it was
  EXPECT_EQ(run.out, tree.Path("docs/a.txt") + "\tchanged 2\n" + tree.Path("docs/ro.txt") +
                         "\tleft unchanged: the file is read-only\n" + tree.Path("docs/skip.md") +
                         "\tchanged 1\n" + tree.Path("docs/sub/b.txt") + "\tchanged 1\n");
  EXPECT_EQ(tree.Read("stderr.txt"), "4 replacements in 3 files; 1 files left unchanged\n");
  EXPECT_EQ(tree.Read("docs/a.txt"), "alpha 函数\r\nbeta\t函数\n");
  EXPECT_EQ(tree.Read("docs/sub/b.txt"), trawlscope::test::Transcode("別の函数です\n", "windows-31j"));
}

// A checked-out project: a repository, dependencies it ignores, a build
// folder deep down, several types, words in three languages.
class AimedBatchTest : public BatchToolTest {
 protected:
  void SetUp() override {
    tree.Write("proj/.git/HEAD", "ref: refs/heads/main\n");
    tree.MakeFolder("proj/.git/objects");
    tree.MakeFolder("proj/.git/refs");
    tree.Write("proj/.git/COMMIT_EDITMSG", "needle\n");
    tree.Write("proj/.gitignore", "node_modules/\n*.log\n");
    tree.Write("proj/node_modules/lib/index.c", "needle\n");
    tree.Write("proj/debug.log", "needle\n");
    tree.Write("proj/src/main.c", "needle; needles; needle_x\n");
    tree.Write("proj/src/util.h", "/* needle */\n");
    tree.Write("proj/src/gen/deep/build/out.c", "needle\n");
    tree.Write("proj/src/notes.txt", "Мир, мирный мир\n日本語の文章と日本\n");
    tree.Write("proj/readme.md", "needle\n");
  }
  std::string Proj() const { return "--path " + Quoted(tree.Path("proj")) + " --subfolders "; }
};

TEST_F(AimedBatchTest, PatternsTheVersionControlRuleAndGitignoreLeaveOutWhatTheySay) {
  RunResult run = RunBatch(Proj() + "--types '*.c;*.h;!build/' --gitignore --word needle", err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, tree.Path("proj/src/main.c") + "\t1\t0\t6\tneedle\n" + tree.Path("proj/src/util.h") +
                         "\t1\t3\t6\tneedle\n");
  EXPECT_EQ(tree.Read("stderr.txt"), "Left out: 3 folders.\n2 hits in 2 files\n");
  // Without the options: the repository's records and what git ignores are searched too.
  run = RunBatch(Proj() + "--all-folders needle", err);
  EXPECT_EQ(tree.Read("stderr.txt"), "9 hits in 7 files\n");
  run = RunBatch(Proj() + "--types '*.c;*.h;!build/' --codepages", err);
  EXPECT_NE(run.out.find("node_modules/lib/index.c"), std::string::npos);  // no --gitignore
  EXPECT_EQ(run.out.find("out.c"), std::string::npos);
}

TEST_F(AimedBatchTest, WholeWordsInEveryModeAndAReplaceChangesWhatTheSearchShows) {
  const struct {
    std::string options;
    std::string hits;
  } cases[] = {
      {"--word мир", "\t1\t0\t3\tМир\n" + tree.Path("proj/src/notes.txt") + "\t1\t12\t3\tмир\n"},
      {"--word --case Мир", "\t1\t0\t3\tМир\n"},
      {"--word --regex '日本語?'", "\t2\t16\t3\t日本語\n" + tree.Path("proj/src/notes.txt") + "\t2\t23\t2\t日本\n"},
      {"--word 日本", "\t2\t23\t2\t日本\n"},
  };
  for (const auto& c : cases) {
    const RunResult run = RunBatch(Proj() + "--types '*.txt' " + c.options, err);
    EXPECT_EQ(run.out, tree.Path("proj/src/notes.txt") + c.hits) << c.options;
  }
  const RunResult run = RunBatch(Proj() + "--types '*.txt' --word --replace X 日本", err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(tree.Read("proj/src/notes.txt"), "Мир, мирный мир\n日本語の文章とX\n");
}

TEST_F(BatchToolTest, NamesAreEscapedSkippedFilesAndMissingPathsAreSaid) {
  tree.Write("odd/tab\there.txt", "関数");
  tree.Write("odd/bad\x93.txt", "関数");
  tree.Write("odd/program", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0", 18) + "関数");
  const RunResult run = RunBatch("--path '\"" + tree.Path("odd") + "\" \"" + tree.Path("gone") + "\"' 関数", err);
  EXPECT_EQ(run.status, 2);  // the missing path wins over the hits
  EXPECT_EQ(run.out, tree.Path("odd/bad\\x93.txt") + "\t1\t0\t2\t関数\n" + tree.Path("odd/tab\\x09here.txt") +
                         "\t1\t0\t2\t関数\n");
  EXPECT_EQ(tree.Read("stderr.txt"),
            "not found: " + tree.Path("gone") + "\n1 binary files skipped\n2 hits in 2 files\n");
}

// They were said to be "not found"; none is opened, which for a FIFO would wait for a writer.
TEST_F(BatchToolTest, AFifoASocketOrADeviceInThePathIsSaidAsWhatItIs) {
  tree.Write("special/a.txt", "関数");
  ASSERT_EQ(mkfifo(tree.Path("special/fifo").c_str(), 0600), 0);
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = tree.Path("special/socket");
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  socketPath.copy(address.sun_path, socketPath.size());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  std::string path;
  for (const std::string& entry : {tree.Path("special/fifo"), tree.Path("special/socket"), std::string("/dev/null"),
                                   tree.Path("special/a.txt")})
    path += "\"" + entry + "\" ";
  const RunResult run = RunBatch("--path " + Quoted(path) + " 関数", err);
  close(listener);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, tree.Path("special/a.txt") + "\t1\t0\t2\t関数\n");
  EXPECT_EQ(tree.Read("stderr.txt"), "not searched (it is a FIFO): " + tree.Path("special/fifo") +
                                         "\nnot searched (it is a socket): " + tree.Path("special/socket") +
                                         "\nnot searched (it is a device): /dev/null\n1 hits in 1 files\n");
}

TEST_F(BatchToolTest, XPathThatDoesNotCompileIsSaidAndExitsWithTwoAfterTheRun) {
  tree.Write("x/doc.xml", "<item>x</item>");
  const RunResult run =
      RunBatch("--path " + Quoted(tree.Path("x")) + " --xpath '//*[' --replace ITEM item", err);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(tree.Read("x/doc.xml"), "<item>x</item>");
  EXPECT_EQ(run.out, tree.Path("x/doc.xml") + "\tleft unchanged: the XPath does not compile\n");
  EXPECT_NE(tree.Read("stderr.txt").find("the XPath does not compile (Invalid expression"), std::string::npos);
}

// Members are named ARCHIVE//MEMBER in the hit lines, a damaged archive is
// said with its reason, and a replace fed those lines refuses them.
TEST_F(BatchToolTest, CompressedFilesAreSearchedNamedAndNeverReplaced) {
  using trawlscope::test::Transcode;
  tree.Write("gz/cut.tar.gz", std::string("\x1f\x8b\x08\x00", 4) + "broken");
  const std::string page = std::string("関数\n") + trawlscope::test::kJapaneseSentence;
  trawlscope::test::WriteStream(tree.Path("gz/ls.1.gz"), "gzip", Transcode(page, "EUC-JP"));
  trawlscope::test::WriteArchive(tree.Path("gz/docs.zip"), "zip", "none",
                                 {{"sub/a.txt", "\xFF\xFE" + Transcode("関数\n", "UTF-16LE")}});
  const std::string path = " --path " + Quoted(tree.Path("gz"));
  const RunResult run = RunBatch(path + " 関数", err);
  EXPECT_EQ(run.status, 2);  // the damaged archive
  EXPECT_EQ(run.out, tree.Path("gz/docs.zip") + "//sub/a.txt\t1\t0\t2\t関数\n" + tree.Path("gz/ls.1.gz") +
                         "\t1\t0\t2\t関数\n");
  const std::string said = tree.Read("stderr.txt");
  EXPECT_EQ(said.rfind("could not be searched (damaged", 0), 0u) << said;
  EXPECT_NE(said.find("): " + tree.Path("gz/cut.tar.gz") + "\n2 hits in 2 files\n"), std::string::npos) << said;

  EXPECT_EQ(RunBatch(path + " --no-compressed 関数", err).out, "");
  // The cut archive's few bytes read as text.
  EXPECT_EQ(tree.Read("stderr.txt"), "2 binary files skipped\n0 hits in 0 files\n");

  const std::string batch = TRAWLSCOPE_BATCH;
  const RunResult refused = RunBatch(path + " 関数 | " + batch + " --only-hits - --replace 函数", err);
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out, tree.Path("gz/docs.zip") + "//sub/a.txt\tleft unchanged: compressed: read-only\n" +
                             tree.Path("gz/ls.1.gz") + "\tleft unchanged: compressed: read-only\n");
}

// The tool's own hit lines, filtered by grep in a real pipe, pick what a
// second run replaces; names with spaces, "\\" and Japanese survive the trip.
TEST_F(BatchToolTest, OnlyHitsReplacesThePipedOccurrencesAndNothingElse) {
  const std::string sentence = trawlscope::test::kJapaneseSentence;
  tree.Write("pipe/sp ace\\名前.txt", trawlscope::test::Transcode(sentence + "\n関数 keep\n関数 change\n", "EUC-JP"));
  tree.Write("pipe/other.txt", "関数 keep\n");
  const std::string batch = TRAWLSCOPE_BATCH;
  const RunResult run = RunBatch("--path " + Quoted(tree.Path("pipe")) + " 関数 | grep 'sp ace' | awk -F'\\t' '$2 == 3' | " +
                                     batch + " --only-hits - --replace 函数",
                                 err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, tree.Path("pipe/sp ace\\名前.txt") + "\tchanged 1\n");
  EXPECT_EQ(tree.Read("pipe/sp ace\\名前.txt"),
            trawlscope::test::Transcode(sentence + "\n関数 keep\n函数 change\n", "EUC-JP"));
  EXPECT_EQ(tree.Read("pipe/other.txt"), "関数 keep\n");
}

// Hit lines once showed each byte of a name that is not UTF-8 as U+FFFD, and
// the pipe changed the file literally named so instead. Escaped, every name
// comes back: Latin-1 and Shift_JIS names, a TAB, and U+FFFD itself.
TEST_F(BatchToolTest, NamesThatAreNotUtf8ComeBackThroughThePipeToTheirOwnFile) {
  const std::string latin1 = "enc/caf\xE9.txt", replacement = "enc/caf\xEF\xBF\xBD.txt";
  const std::string others[] = {replacement, "enc/\x93\xFA\x96{.txt", "enc/tab\there.txt", "enc/a\\xE9.txt"};
  tree.Write(latin1, "関数\n");
  for (const std::string& name : others) tree.Write(name, "関数\n");
  const std::string search = "--path " + Quoted(tree.Path("enc")) + " 関数 | ";
  const std::string replace = std::string(TRAWLSCOPE_BATCH) + " --only-hits - --replace 函数";
  RunResult run = RunBatch(search + "grep -F 'caf\\xE9' | " + replace, err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, tree.Path("enc/caf\\xE9.txt") + "\tchanged 1\n");
  EXPECT_EQ(tree.Read(latin1), "函数\n");
  EXPECT_EQ(tree.Read(replacement), "関数\n");

  run = RunBatch(search + replace, err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, tree.Path("enc/a\\\\xE9.txt") + "\tchanged 1\n" + tree.Path(replacement) + "\tchanged 1\n" +
                         tree.Path("enc/tab\\x09here.txt") + "\tchanged 1\n" + tree.Path("enc/\\x93\\xFA\\x96{.txt") +
                         "\tchanged 1\n");
  for (const std::string& name : others) EXPECT_EQ(tree.Read(name), "函数\n") << name;
  EXPECT_EQ(tree.Read(latin1), "函数\n");  // its hit was replaced before: the search no longer lists it
}

TEST_F(BatchToolTest, OnlyHitsWithASearchTextReplacesOnlyCurrentMatches) {
  tree.Write("hits/a.txt", "key=value\nname=trawl\n");
  const std::string lines = tree.Path("hits/a.txt") + "\t2\t10\t10\tname=trawl\n";
  tree.Write("lines.txt", lines);
  const RunResult run =
      RunBatch("--only-hits " + Quoted(tree.Path("lines.txt")) + " --regex --replace '$2:$1' '(\\w+)=(\\w+)'", err);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(tree.Read("hits/a.txt"), "key=value\ntrawl:name\n");
  // Again: the listed stretch no longer holds its keyword.
  const RunResult again =
      RunBatch("--only-hits " + Quoted(tree.Path("lines.txt")) + " --regex --replace '$2:$1' '(\\w+)=(\\w+)'", err);
  EXPECT_EQ(again.out, tree.Path("hits/a.txt") + "\tleft unchanged: a chosen occurrence is no longer there as the "
                                                 "search found it\n");
}

// Each third line is wrong, the first a good one for the same file: the
// tool names the line and writes nothing, not even the good one's change.
TEST_F(BatchToolTest, ABadHitLineNamesItsNumberAndNothingIsWritten) {
  const std::string a = tree.Path("docs/a.txt");
  const std::pair<std::string, const char*> cases[] = {
      {a + "\t2\tx\t2", "the position is not a number"},
      // Past 64 bits, the number was read as 0: "alpha" was replaced.
      {a + "\t1\t99999999999999999999\t5", "the position is too big"},
      {a + "\t1\t0\t18446744073709551621", "the length is too big"},
      {a + "\t99999999999999999999\t6\t2", "the line is too big"},
      // The path was cut at the NUL, and "docs/a.txt" changed in the place of its namesake.
      {a + std::string("\0.bak", 5) + "\t1\t6\t2", "the path holds a NUL byte"},
      {a + "\t1\t6\t2\t関数\tno-such-page", "the code page is not one the tool reads"},
      {a + "\t1\t6\t2\t関数\t932", "the file was given another code page before"},
      // "\x2E" is ".": no name prints so, and an earlier list's line means a file named with the backslash.
      {tree.Path("docs/a\\x2Etxt") + "\t1\t6\t2",
       "the path's \"\\x2E\" is no escape the tool writes: it escapes only bytes that are not UTF-8, TABs and "
       "line breaks"},
  };
  for (const auto& [bad, why] : cases) {
    tree.Write("docs/a.txt", "alpha 関数\r\nbeta\t関数\n");
    tree.Write("lines.txt", a + "\t1\t6\t2\t関数\t65001\n\n" + bad + "\n");
    const RunResult run = RunBatch("--only-hits " + Quoted(tree.Path("lines.txt")) + " --replace 函数", err);
    EXPECT_EQ(run.status, 2) << why;
    EXPECT_EQ(run.out, "") << why;
    EXPECT_EQ(tree.Read("stderr.txt"),
              "trawlscope-batch: --only-hits " + tree.Path("lines.txt") + ": line 3: " + why + "\n");
    EXPECT_EQ(tree.Read("docs/a.txt"), "alpha 関数\r\nbeta\t関数\n") << why;
  }
  EXPECT_EQ(RunBatch("--only-hits - --replace x < /dev/null --path x", err).status, 2);
  EXPECT_EQ(RunBatch("--only-hits -", err).status, 2);  // no --replace
}

// A run read as KOI8-R finds what detection, on a short text, reads as
// another page; --with-codepage carries each file's page to a replace, which
// reads it so and writes it back so.
TEST_F(BatchToolTest, EncodingReadsEveryFileInItAndHitLinesCarryThePageToAReplace) {
  tree.Write("ru/a.txt", trawlscope::test::Transcode("да, а\n", "KOI8-R"));
  tree.Write("ru/b.txt", "\xEF\xBB\xBF" "да\n");  // the mark wins
  const std::string ru = Quoted(tree.Path("ru"));
  EXPECT_EQ(RunBatch("--path " + ru + " да", err).out.find("a.txt"), std::string::npos);
  EXPECT_EQ(RunBatch("--path " + ru + " --encoding KOI8-R --codepages", err).out,
            tree.Path("ru/a.txt") + "\t20866\t0\tKOI8-R (20866)\n" + tree.Path("ru/b.txt") + "\t65001\t1\tUTF-8 (65001)\n");
  const RunResult found = RunBatch("--path " + ru + " --encoding 20866 --with-codepage да", err);
  EXPECT_EQ(found.out, tree.Path("ru/a.txt") + "\t1\t0\t2\tда\t20866\n" + tree.Path("ru/b.txt") + "\t1\t0\t2\tда\t65001\n");
  tree.Write("lines.txt", found.out);
  EXPECT_EQ(RunBatch("--only-hits " + Quoted(tree.Path("lines.txt")) + " --replace есть", err).status, 0);
  EXPECT_EQ(tree.Read("ru/a.txt"), trawlscope::test::Transcode("есть, а\n", "KOI8-R"));
  EXPECT_EQ(tree.Read("ru/b.txt"), "\xEF\xBB\xBF" "есть\n");
  EXPECT_EQ(RunBatch("--path " + ru + " --encoding klingon x", err).status, 2);
  EXPECT_EQ(RunBatch("--path " + ru + " --with-codepage --replace y x", err).status, 2);
}

TEST_F(BatchToolTest, UndoPutsBackTheLastReplaceAndThenTheOneBefore) {
  const std::string sjis = tree.Read("docs/sub/b.txt");
  ASSERT_EQ(RunBatch("--path " + Quoted(tree.Path("docs")) + " --subfolders --replace 函数 関数", err).status, 0);
  ASSERT_EQ(RunBatch("--path " + Quoted(tree.Path("docs/a.txt")) + " --replace 機能 函数", err).status, 0);

  const RunResult list = RunBatch("--undo-list", err);
  EXPECT_EQ(list.status, 0);
  const size_t second = list.out.find("\t1 files\t函数\t機能\ttrawlscope-batch --path ");
  const size_t first = list.out.find("\t3 files\t関数\t函数\ttrawlscope-batch --path ");
  EXPECT_NE(second, std::string::npos) << list.out;
  EXPECT_NE(first, std::string::npos) << list.out;
  EXPECT_LT(second, first);  // newest first

  RunResult undo = RunBatch("--undo", err);
  EXPECT_EQ(undo.status, 0);
  EXPECT_EQ(undo.out, tree.Path("docs/a.txt") + "\trestored\n");
  EXPECT_EQ(tree.Read("docs/a.txt"), "alpha 函数\r\nbeta\t函数\n");

  tree.Write("docs/skip.md", "edited since");
  undo = RunBatch("--undo", err);
  EXPECT_EQ(undo.status, 2);
  EXPECT_EQ(undo.out, tree.Path("docs/a.txt") + "\trestored\n" + tree.Path("docs/sub/b.txt") + "\trestored\n" +
                          tree.Path("docs/skip.md") + "\tleft unchanged: it changed since the replace\n");
  EXPECT_EQ(tree.Read("stderr.txt"), "2 files restored; 1 files left unchanged\nthe originals of the 1 files left "
                                      "unchanged are still kept; --undo-beside puts them beside their files\n");
  EXPECT_EQ(tree.Read("docs/a.txt"), "alpha 関数\r\nbeta\t関数\n");
  EXPECT_EQ(tree.Read("docs/sub/b.txt"), sjis);
  EXPECT_EQ(tree.Read("docs/skip.md"), "edited since");

  // The run stays with the original it could not put back, until it is put beside its file.
  EXPECT_EQ(RunBatch("--undo", err).status, 2);
  undo = RunBatch("--undo-beside", err);
  EXPECT_EQ(undo.status, 0);
  EXPECT_EQ(undo.out, tree.Path("docs/skip.md") + "\tbeside: " + tree.Path("docs/skip.md.original") + "\n");
  EXPECT_EQ(tree.Read("docs/skip.md.original"), "関数");
  EXPECT_EQ(tree.Read("docs/skip.md"), "edited since");
  EXPECT_EQ(RunBatch("--undo", err).status, 1);  // nothing found to undo
  EXPECT_EQ(tree.Read("stderr.txt"), "trawlscope-batch: there is no replace to undo\n");
  EXPECT_EQ(RunBatch("--undo-list", err).out, "");
  EXPECT_EQ(RunBatch("--undo --path x", err).status, 2);
}

TEST_F(BatchToolTest, ATerminatedOrHungUpReplaceStopsWholeAndCanBeUndone) {
  constexpr int kFiles = 2000;
  for (const int signal : {SIGTERM, SIGHUP}) {
    for (int i = 0; i < kFiles; ++i) tree.Write("many/f" + std::to_string(10000 + i) + ".txt", "cat\n");
    const pid_t child = fork();
    if (child == 0) {
      const std::string command = BatchCommand("--path " + Quoted(tree.Path("many")) + " --replace dog cat", err, kEnglish);
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    while (tree.Read("many/f10000.txt") == "cat\n") usleep(200);
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << signal;
    EXPECT_EQ(WEXITSTATUS(status), 130) << signal;
    EXPECT_EQ(RunBatch("--undo", err).status, 0) << signal;
    for (int i = 0; i < kFiles; ++i) ASSERT_EQ(tree.Read("many/f" + std::to_string(10000 + i) + ".txt"), "cat\n") << i;
  }
}

TEST_F(BatchToolTest, AKilledOrTerminatedUndoLeavesNoTemporaryFileAndTerminatedSaysSo) {
  constexpr int kFiles = 200;
  const std::string padding(20000, 'c');  // the longer a write, the likelier a kill finds its temporary file
  const auto name = [](int i) { return "many/f" + std::to_string(10000 + i) + ".txt"; };
  const auto replaced = [&](int i) { return tree.Read(name(i)) == padding + "dog\n"; };
  for (const int signal : {SIGKILL, SIGTERM}) {
    for (int i = 0; i < kFiles; ++i) tree.Write(name(i), padding + "cat\n");
    ASSERT_EQ(RunBatch("--path " + Quoted(tree.Path("many")) + " --replace dog cat", err).status, 0);
    const pid_t child = fork();
    if (child == 0) {
      const std::string command = BatchCommand("--undo", err, kEnglish);
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    // The undo goes backwards, and a folder's files may be listed in any order.
    while (replaced(0) && replaced(kFiles - 1)) usleep(200);
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    if (signal == SIGTERM) {
      ASSERT_TRUE(WIFEXITED(status));
      EXPECT_EQ(WEXITSTATUS(status), 130);
      const std::string said = tree.Read("stderr.txt");
      EXPECT_EQ(said.substr(said.rfind('\n', said.size() - 2) + 1), "aborted\n") << said;
    }
    EXPECT_EQ(RunBatch("--undo", err).status, 0) << signal;
    for (const auto& entry : std::filesystem::directory_iterator(tree.Path("many")))
      ASSERT_EQ(entry.path().filename().string().substr(0, 2), "f1") << entry.path();
    for (int i = 0; i < kFiles; ++i) ASSERT_EQ(tree.Read(name(i)), padding + "cat\n") << i;
  }
}

TEST_F(BatchToolTest, AnUndoUnderAFolderOthersMayChangeNamesThatFolder) {
  ASSERT_EQ(RunBatch("--path " + Quoted(tree.Path("docs/a.txt")) + " --replace 函数 関数", err).status, 0);
  chmod(tree.Path("state/trawlscope").c_str(), 0777);
  // As another user could: moved away, the journal would have seemed empty.
  std::filesystem::rename(tree.Path("state/trawlscope/undo"), tree.Path("state/trawlscope/moved"));
  EXPECT_EQ(RunBatch("--undo", err).status, 2);
  EXPECT_EQ(tree.Read("stderr.txt"), "trawlscope-batch: nothing was changed: the folder " +
                                         tree.Path("state/trawlscope") +
                                         " above the undo journal may be changed by other users\n");
}

TEST_F(BatchToolTest, AReplaceSaysBeforeWritingWhenItCannotBeUndone) {
  const std::string replace = "--path " + Quoted(tree.Path("docs/a.txt")) + " --replace 函数 関数";
  tree.Write("state/trawlscope/undo", "a file where the journal's folder should be");
  RunResult run = RunBatch(replace, err);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(tree.Read("stderr.txt"), "trawlscope-batch: nothing was changed: the undo journal's place " +
                                         tree.Path("state/trawlscope/undo") + " is not a folder\n");
  EXPECT_EQ(tree.Read("docs/a.txt"), "alpha 関数\r\nbeta\t関数\n");

  run = RunBatch(replace, err, kEnglish, "unset HOME XDG_STATE_HOME;");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(tree.Read("stderr.txt"), "this replace cannot be undone: neither HOME nor XDG_STATE_HOME is set, so there "
                                     "is no place for the undo journal\n2 replacements in 1 files; 0 files left unchanged\n");
}

// The language is the user's, read from the environment as Qt reads it; the
// Japanese locale the tool sets for itself at start-up never chooses it.
TEST_F(BatchToolTest, MessagesFollowTheLanguageOfTheEnvironment) {
  const std::string broken = "--path " + Quoted(tree.Path("docs")) + " --regex 'a('";
  const std::pair<const char*, const char*> cases[] = {
      {"unset LANGUAGE LC_MESSAGES LANG; export LC_ALL=ja_JP.UTF-8; ", "正規表現に誤りがあります。\n"},
      {"unset LANGUAGE LC_ALL LC_MESSAGES; export LANG=ja_JP.UTF-8; ", "正規表現に誤りがあります。\n"},
      {"unset LC_ALL LC_MESSAGES LANG; export LANGUAGE=ja; ", "正規表現に誤りがあります。\n"},
      {"unset LANGUAGE LC_MESSAGES LANG; export LC_ALL=C; ", "The regular expression has an error.\n"},
      {"unset LANGUAGE LC_MESSAGES LANG; export LC_ALL=de_DE.UTF-8; ", "The regular expression has an error.\n"},
      // English first wins even though only Japanese has a catalogue.
      {"unset LC_MESSAGES LANG; export LANGUAGE=en:ja LC_ALL=ja_JP.UTF-8; ", "The regular expression has an error.\n"},
  };
  for (const auto& [language, lead] : cases) {
    EXPECT_EQ(RunBatch(broken, err, language).status, 2) << language;
    EXPECT_EQ(tree.Read("stderr.txt").rfind(lead, 0), 0u) << language << tree.Read("stderr.txt");
  }
}

// What the tool says on stderr follows the language; the hit lines on stdout
// keep their fixed form for scripts.
TEST_F(BatchToolTest, ItsOwnLinesOnStderrFollowTheLanguageAndStdoutDoesNot) {
  const std::string search = "--path " + Quoted(tree.Path("docs/a.txt")) + " 関数";
  const std::string japanese = "unset LANGUAGE LC_MESSAGES LANG; export LC_ALL=ja_JP.UTF-8; ";
  const std::string hits = RunBatch(search, err).out;
  EXPECT_EQ(tree.Read("stderr.txt"), "2 hits in 1 files\n");
  EXPECT_EQ(RunBatch(search, err, japanese).out, hits);
  EXPECT_EQ(tree.Read("stderr.txt"), "1 ファイルに 2 件\n");
  const std::string help = RunBatch("--help", err, japanese).out;
  EXPECT_EQ(help.rfind("usage: trawlscope-batch --path TEXT", 0), 0u);  // the synopsis is syntax
  EXPECT_NE(help.find("\nオプション:\n"), std::string::npos) << help;
  EXPECT_EQ(RunBatch("--bogus", err, japanese).status, 2);
  EXPECT_EQ(tree.Read("stderr.txt"),
            "trawlscope-batch: unknown option --bogus\n詳しくは 'trawlscope-batch --help' を見てください。\n");
  RunBatch("--path " + Quoted(tree.Path("nowhere")) + " x", err, japanese);
  EXPECT_NE(tree.Read("stderr.txt").find("見つかりません: " + tree.Path("nowhere")), std::string::npos)
      << tree.Read("stderr.txt");
}

// A replace the tool cannot make says why in the user's language, the
// reason included.
TEST_F(BatchToolTest, ReplaceProblemsAreWordedInTheUsersLanguage) {
  // Shift_JIS (code page 932) has no emoji, so the file is left as it is.
  const std::string replace = "--path " + Quoted(tree.Path("docs/sub/b.txt")) + " --replace '😀' 関数";
  const std::string english = RunBatch(replace, err).out;
  const std::string japanese = RunBatch(replace, err, "unset LANGUAGE LC_MESSAGES LANG; export LC_ALL=ja_JP.UTF-8; ").out;
  EXPECT_NE(english.find("the file's code page, Shift_JIS (932), cannot hold \"😀\" (U+1F600)"), std::string::npos) << english;
  EXPECT_NE(japanese.find("ファイルのコードページ Shift_JIS (932) では \"😀\" (U+1F600) を書き表せません"), std::string::npos)
      << japanese;
}

}  // namespace

// The libraries most runs never use are loaded only by a run that uses them,
// read off the dynamic loader's own trace of the files it opens.
TEST_F(BatchToolTest, OptionalLibrariesAreLoadedOnlyByTheRunsThatNeedThem) {
  tree.Write("xml/a.xml", "<r><t>関数</t></r>");
  trawlscope::test::WriteStream(tree.Path("gz/ls.1.gz"), "gzip", "関数\n");
  const std::string japanese = "unset LC_MESSAGES LANG; export LANGUAGE=ja LC_ALL=C.UTF-8; ";
  const struct {
    std::string arguments;
    std::string language;
    std::vector<std::string> loaded;
  } runs[] = {
      {"--path " + Quoted(tree.Path("docs")) + " --subfolders 関数", kEnglish, {}},
      {"--path " + Quoted(tree.Path("docs")) + " --subfolders --gitignore 関数", kEnglish, {"libgit2"}},
      // libarchive reads xar archives through libxml2.
      {"--path " + Quoted(tree.Path("gz")) + " 関数", kEnglish, {"libarchive", "libdeflate", "libxml2"}},
      {"--path " + Quoted(tree.Path("xml")) + " --xpath //t 関数", kEnglish, {"libxml2"}},
      {"--path " + Quoted(tree.Path("docs")) + " 関数", japanese, {"libQt6Core"}},
  };
  for (const auto& run : runs) {
    const RunResult result = RunBatch(run.arguments, err, run.language, "export LD_DEBUG=files;");
    EXPECT_EQ(result.status, 0) << run.arguments;
    const std::string trace = tree.Read("stderr.txt");
    for (const char* library : {"libgit2", "libarchive", "libdeflate", "libxml2", "libQt6Core"}) {
      const bool expected = std::find(run.loaded.begin(), run.loaded.end(), library) != run.loaded.end();
      EXPECT_EQ(trace.find(std::string("file=") + library) != std::string::npos, expected)
          << run.arguments << " " << run.language << ": " << library;
    }
  }
}
