#include "search/listing/FileList.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::U16;

class FileListTest : public testing::Test {
 protected:
  TempTree tree;
  AbortFlag abort{false};

  // The listing with the tree's root cut off, to keep expectations short.
  std::vector<std::string> List(const std::u16string& searchPath, bool subfolders,
                                const std::u16string& types = u"") {
    FileList list;
    BuildFileList(abort, searchPath, list, subfolders, types);
    std::vector<std::string> relative;
    const std::string root = tree.Root() + "/";
    for (const auto& path : list) {
      std::string native = test::U8(path);
      if (native.rfind(root, 0) == 0) native = native.substr(root.size());
      relative.push_back(native);
    }
    return relative;
  }
  std::u16string Quoted(std::string_view relative) {
    return u"\"" + U16(tree.Path(relative)) + u"\"";
  }
  using Names = std::vector<std::string>;
};

TEST_F(FileListTest, BareFolderWithoutSubfoldersListsItsOwnFilesInByteOrder) {
  tree.Write("data/b.txt");
  tree.Write("data/a.txt");
  tree.Write("data/B.txt");
  tree.Write("data/sub/deep.txt");
  EXPECT_EQ(List(U16(tree.Path("data")), false), (Names{"data/B.txt", "data/a.txt", "data/b.txt"}));
}

// What a killed write left beside a file is never searched, nor replaced.
TEST_F(FileListTest, TheWritersOwnTemporaryFilesAreLeftOut) {
  tree.Write("d/a.txt");
  tree.Write("d/.a.txt.trawlscope-x1Y2z3");
  tree.Write("d/.a.txt.trawlscope-notes");   // not the writer's pattern
  tree.Write("d/a.txt.trawlscope-x1Y2z3");    // nor without the leading dot
  EXPECT_EQ(List(U16(tree.Path("d")), false),
            (Names{"d/.a.txt.trawlscope-notes", "d/a.txt", "d/a.txt.trawlscope-x1Y2z3"}));
}

TEST_F(FileListTest, SubfoldersAreListedDepthFirstBeforeTheNextEntry) {
  tree.Write("d/a.txt");
  tree.Write("d/m/x.txt");
  tree.Write("d/m/n/y.txt");
  tree.Write("d/z.txt");
  EXPECT_EQ(List(U16(tree.Path("d/")), true),
            (Names{"d/a.txt", "d/m/n/y.txt", "d/m/x.txt", "d/z.txt"}));
}

// The caller hears before every folder is read, so that files it holds back
// reach the searchers before the listing may wait on the disk.
TEST_F(FileListTest, EveryFolderReadIsAnnouncedBeforeItHappens) {
  tree.Write("d/a.txt");
  tree.Write("d/m/x.txt");
  tree.Write("d/m/n/y.txt");
  tree.Write("d/z.txt");
  std::vector<std::string> events;
  const std::string root = tree.Root() + "/";
  ListFiles(
      abort, U16(tree.Path("d")), true, u"",
      [&](std::u16string path) { events.push_back(test::U8(path).substr(root.size())); }, nullptr,
      [&] { events.push_back("read"); });
  // Once for the token, then once for each folder: d, d/m, d/m/n.
  EXPECT_EQ(events, (Names{"read", "read", "d/a.txt", "read", "read", "d/m/n/y.txt", "d/m/x.txt", "d/z.txt"}));
}

TEST_F(FileListTest, TwoQuotedFoldersAreListedAtTheirTopLevel) {
  tree.Write("one/1.txt");
  tree.Write("one/sub/skip.txt");
  tree.Write("two/2.txt");
  EXPECT_EQ(List(Quoted("one") + u" " + Quoted("two"), false), (Names{"one/1.txt", "two/2.txt"}));
}

// A "*.c" search over a source tree once entered only folders named like
// "*.c", and so missed nearly every file below the top.
TEST_F(FileListTest, ThePatternTestsFileNamesAndEverySubfolderIsEntered) {
  tree.Write("d/a.log");
  tree.Write("d/archive/x.log");
  tree.Write("d/old.log/y.log");
  tree.Write("d/old.log/y.txt");
  tree.Write("d/sub/x.c");
  tree.Write("d/sub/deeper/y.c");
  EXPECT_EQ(List(U16(tree.Path("d")), true, u"*.log"), (Names{"d/a.log", "d/archive/x.log", "d/old.log/y.log"}));
  EXPECT_EQ(List(U16(tree.Path("d")), true, u"*.C"), (Names{"d/sub/deeper/y.c", "d/sub/x.c"}));
}

TEST_F(FileListTest, VersionControlFoldersAreLeftOutWhenAsked) {
  for (const char* file : {"v/.git/config", "v/.git/hooks/pre-commit.sample", "v/.svn/entries", "v/.hg/hgrc",
                           "v/.bzr/branch.conf", "v/CVS/Root", "v/sub/.git", "v/sub/a.c", "v/.github/ci.yml",
                           "v/CVSROOT/loginfo", "v/deep/er/.git/HEAD", "v/deep/er/b.c"})
    tree.Write(file);
  size_t files = 0, folders = 0;
  Names listed;
  const std::string root = tree.Root() + "/";
  ListFiles(abort, U16(tree.Path("v")), ListingRules{true, u"", true, false},
            [&](std::u16string path) { listed.push_back(test::U8(path).substr(root.size())); }, nullptr, {},
            [&](LeftOut what) { ++(what == LeftOut::File ? files : folders); });
  EXPECT_EQ(listed, (Names{"v/.github/ci.yml", "v/CVSROOT/loginfo", "v/deep/er/b.c", "v/sub/a.c"}));
  EXPECT_EQ(files, 1u);    // sub/.git, a work tree's link to its repository
  EXPECT_EQ(folders, 6u);
  EXPECT_EQ(List(U16(tree.Path("v")), true).size(), 12u);  // the option off: everything
}

// A repository's rules, the .gitignore files above the searched folder among
// them, another repository's own inside it, and a tree no repository holds.
TEST_F(FileListTest, GitIgnoreRulesAreGitsOwn) {
  // The least a repository is to libgit2: HEAD, objects and refs.
  tree.Write("r/.git/HEAD", "ref: refs/heads/main\n");
  tree.MakeFolder("r/.git/objects");
  tree.MakeFolder("r/.git/refs");
  tree.Write("r/.git/info/exclude", "*.tmp\n");
  tree.Write("r/.gitignore", "node_modules/\n*.log\n!keep.log\n/top-only.txt\n");
  tree.Write("r/src/.gitignore", "generated/\n");
  for (const char* file : {"r/a.c", "r/a.log", "r/keep.log", "r/x.tmp", "r/top-only.txt", "r/node_modules/m/i.js",
                           "r/src/b.c", "r/src/b.log", "r/src/top-only.txt", "r/src/deep/generated/g.c",
                           "r/src/deep/h.c", "r/inner/.gitignore", "r/inner/c.c", "r/inner/c.log",
                           "plain/.gitignore", "plain/p.c", "plain/out/o.c"})
    tree.Write(file);
  tree.Write("r/inner/.gitignore", "*.c\n");
  tree.Write("plain/.gitignore", "out/\n");
  tree.Write("r/inner/.git/HEAD", "ref: refs/heads/main\n");
  tree.MakeFolder("r/inner/.git/objects");
  tree.MakeFolder("r/inner/.git/refs");
  const auto list = [&](const std::string& folder) {
    Names listed;
    const std::string root = tree.Root() + "/";
    ListFiles(abort, U16(tree.Path(folder)), ListingRules{true, u"", true, true},
              [&](std::u16string path) { listed.push_back(test::U8(path).substr(root.size())); });
    return listed;
  };
  EXPECT_EQ(list("r"), (Names{"r/.gitignore", "r/a.c", "r/inner/.gitignore", "r/inner/c.log", "r/keep.log",
                              "r/src/.gitignore", "r/src/b.c", "r/src/deep/h.c", "r/src/top-only.txt"}));
  EXPECT_EQ(list("r/src"), (Names{"r/src/.gitignore", "r/src/b.c", "r/src/deep/h.c", "r/src/top-only.txt"}));
  EXPECT_EQ(list("plain"), (Names{"plain/.gitignore", "plain/p.c"}));
}

TEST_F(FileListTest, FilesNamedDirectlyAreListedAsWrittenWithoutTheTypeTest) {
  tree.Write("notes/readme.md");
  tree.Write("notes/a.txt");
  const std::u16string file = Quoted("notes/readme.md");
  EXPECT_EQ(List(file + u" " + file, false, u"*.txt"), (Names{"notes/readme.md", "notes/readme.md"}));
  EXPECT_EQ(List(Quoted("notes/missing.md"), false), Names{});
}

TEST_F(FileListTest, QuotedTokenWithWildcardsIsListedAsThatText) {
  tree.Write("w/a.txt");
  const std::u16string token = U16(tree.Path("w")) + u"\\*.txt";
  EXPECT_EQ(List(u"\"" + token + u"\"", false), (Names{"w\\*.txt"}));
  EXPECT_EQ(List(U16(tree.Path("w")) + u"/*.csv", false), Names{});
}

TEST_F(FileListTest, EmptyPathAndOnePatternWithASpace) {
  tree.Write("p/a.txt");
  tree.Write("p/my notes.md");
  EXPECT_EQ(List(u"", true), Names{});
  EXPECT_EQ(List(U16(tree.Path("p")), false, u"my *"), (Names{"p/my notes.md"}));
}

// Several types, files and folders left out, folders named at any depth.
TEST_F(FileListTest, PatternListsExclusionsAndFolderPatterns) {
  for (const char* file : {"t/a.c", "t/a.h", "t/a.txt", "t/a.min.xml", "t/b.xml", "t/build/x.c",
                           "t/src/lib/build/y.c", "t/src/lib/z.h", "t/src/src/w.c", "t/other/v.c"})
    tree.Write(file);
  const std::u16string top = U16(tree.Path("t"));
  EXPECT_EQ(List(top, true, u"*.c;*.h"),
            (Names{"t/a.c", "t/a.h", "t/build/x.c", "t/other/v.c", "t/src/lib/build/y.c", "t/src/lib/z.h",
                   "t/src/src/w.c"}));
  EXPECT_EQ(List(top, true, u"*.c; *.h; !build/"),
            (Names{"t/a.c", "t/a.h", "t/other/v.c", "t/src/lib/z.h", "t/src/src/w.c"}));
  EXPECT_EQ(List(top, false, u"*.xml;!*.min.xml"), (Names{"t/b.xml"}));
  EXPECT_EQ(List(top, true, u"src/;*.c"), (Names{"t/src/lib/build/y.c", "t/src/src/w.c"}));
  size_t files = 0, folders = 0;
  ListFiles(abort, top, ListingRules{true, u"*.c;*.xml;!*.min.xml;!build/"}, [](std::u16string) {}, nullptr, {},
            [&](LeftOut what) { ++(what == LeftOut::File ? files : folders); });
  EXPECT_EQ(files, 1u);
  EXPECT_EQ(folders, 2u);
}

// Each bound takes the file on its own side of it and the file right on it as
// said (sizes at least and at most, times from and strictly before); what it
// leaves out is counted, and a folder's own time never hides its files.
TEST_F(FileListTest, SizeAndTimeBoundsTakeTheFilesOnTheirSide) {
  constexpr std::int64_t kBound = 1'796'083'200;
  const struct {
    const char* name;
    off_t size;
    std::int64_t modified;
  } files[] = {{"b/a", 1023, kBound - 1}, {"b/b", 1024, kBound}, {"b/old/c", 1025, kBound + 1}};
  for (const auto& file : files) {
    tree.Write(file.name);
    ASSERT_EQ(truncate(tree.Path(file.name).c_str(), file.size), 0);
    const timespec times[2] = {{file.modified, 0}, {file.modified, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, tree.Path(file.name).c_str(), times, 0), 0);
  }
  const timespec folderTime[2] = {{kBound - 100, 0}, {kBound - 100, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, tree.Path("b/old").c_str(), folderTime, 0), 0);
  const std::optional<std::uint64_t> kAny;
  const std::optional<std::int64_t> kAnyTime;
  const struct {
    FileBounds bounds;
    Names listed;
  } cases[] = {
      {{kAny, kAny, kAnyTime, kAnyTime}, {"b/a", "b/b", "b/old/c"}},
      {{1024, kAny, kAnyTime, kAnyTime}, {"b/b", "b/old/c"}},
      {{kAny, 1024, kAnyTime, kAnyTime}, {"b/a", "b/b"}},
      {{1024, 1024, kAnyTime, kAnyTime}, {"b/b"}},
      {{kAny, kAny, kBound, kAnyTime}, {"b/b", "b/old/c"}},
      {{kAny, kAny, kAnyTime, kBound}, {"b/a"}},
      {{kAny, 1024, kBound, kAnyTime}, {"b/b"}},
  };
  const std::string root = tree.Root() + "/";
  for (const auto& c : cases) {
    ListingRules rules;
    rules.includeSubfolders = true;
    rules.bounds = c.bounds;
    Names listed;
    size_t leftOut = 0;
    ListFiles(abort, U16(tree.Path("b")), rules,
              [&](std::u16string path) { listed.push_back(test::U8(path).substr(root.size())); }, nullptr, {},
              [&](LeftOut) { ++leftOut; });
    EXPECT_EQ(listed, c.listed);
    EXPECT_EQ(leftOut, 3 - c.listed.size());
  }
}

TEST_F(FileListTest, RelativeFolderGivesAbsolutePathsAndARelativeFileStaysRelative) {
  tree.Write("rel/a.txt");
  char* saved = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(tree.Path("rel").c_str()), 0);
  EXPECT_EQ(List(u".", false), (Names{"rel/a.txt"}));
  EXPECT_EQ(List(u"\"a.txt\"", false), (Names{"a.txt"}));
  EXPECT_EQ(List(u"..\\rel", false), (Names{"rel/a.txt"}));
  EXPECT_EQ(chdir(saved), 0);
  free(saved);
}

TEST_F(FileListTest, LinkLoopIsNotFollowedButLinkedFilesAreListed) {
  tree.Write("l/a.txt");
  tree.Write("elsewhere/t.txt");
  ASSERT_EQ(symlink(tree.Path("l").c_str(), tree.Path("l/loop").c_str()), 0);
  ASSERT_EQ(symlink(tree.Path("elsewhere/t.txt").c_str(), tree.Path("l/link.txt").c_str()), 0);
  ASSERT_EQ(symlink("/nonexistent", tree.Path("l/dangling").c_str()), 0);
  EXPECT_EQ(List(U16(tree.Path("l")), true), (Names{"l/a.txt", "l/link.txt"}));
  // A folder named in the path is listed even when it is a link.
  EXPECT_EQ(List(U16(tree.Path("l/loop")), false), (Names{"l/loop/a.txt", "l/loop/link.txt"}));
}

TEST_F(FileListTest, FifosAreNeverListed) {
  tree.Write("f/a.txt");
  ASSERT_EQ(mkfifo(tree.Path("f/pipe").c_str(), 0600), 0);
  EXPECT_EQ(List(U16(tree.Path("f")), false), (Names{"f/a.txt"}));
  EXPECT_EQ(List(Quoted("f/pipe"), false), Names{});
}

TEST_F(FileListTest, UnreadableFolderContributesNothingAndTheListingGoesOn) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  tree.Write("u/a/x.txt");
  tree.Write("u/b/y.txt");
  chmod(tree.Path("u/a").c_str(), 0);
  EXPECT_EQ(List(U16(tree.Path("u")), true), (Names{"u/b/y.txt"}));
}

TEST_F(FileListTest, PathsLongerThan260CharactersAreListed) {
  std::string deep = "long";
  for (int i = 0; i < 12; ++i) deep += "/" + std::string(40, char('a' + i));
  tree.Write(deep + "/" + std::string(200, 'n') + ".txt");
  const auto listed = List(U16(tree.Path("long")), true);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_GT(listed[0].size(), 700u);
}

TEST_F(FileListTest, NamesThatAreNotUtf8AreListedAndCanBeFoundAgain) {
  const std::string name = "sjis-\x93\xfa\x96\x7b.txt";
  tree.Write("n/" + name, "x");
  FileList list;
  BuildFileList(abort, U16(tree.Path("n")), list, false, u"");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(test::U8(list[0])));
}

TEST_F(FileListTest, AbortStopsTheListing) {
  tree.Write("a/1.txt");
  tree.Write("a/2.txt");
  abort = true;
  EXPECT_EQ(List(U16(tree.Path("a")), false), Names{});
}

}  // namespace
}  // namespace trawlscope
