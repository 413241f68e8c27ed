#include "search/listing/PathHelpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/TempTree.h"

namespace trawlscope {
namespace {

TEST(PathHelpers, SplitAtTheLastSeparatorOfEitherKind) {
  EXPECT_EQ(FolderOf(u"/home/a/b.txt"), u"/home/a/");
  EXPECT_EQ(FolderOf(u"C:\\data\\x.txt"), u"C:\\data\\");
  EXPECT_EQ(FolderOf(u"a\\b/c"), u"a\\b/");
  EXPECT_EQ(FolderOf(u"name.txt"), u"");
  EXPECT_EQ(FileNameOf(u"/home/a/b.txt"), u"b.txt");
  EXPECT_EQ(FileNameOf(u"dir/"), u"");
  EXPECT_EQ(FileNameOf(u""), u"");
}

TEST(PathHelpers, LowerExtensionComesFromTheNameOnly) {
  EXPECT_EQ(LowerExtensionOf(u"/a/B.XML"), u".xml");
  EXPECT_EQ(LowerExtensionOf(u"/a.d/name"), u"");
  EXPECT_EQ(LowerExtensionOf(u"archive.tar.GZ"), u".gz");
  EXPECT_EQ(LowerExtensionOf(u".bashrc"), u".bashrc");
  EXPECT_EQ(LowerExtensionOf(u"x.ÄÖ"), u".äö");
}

TEST(PathHelpers, TokensAreCutAtDoubleQuotes) {
  using Tokens = std::vector<std::u16string>;
  EXPECT_EQ(SplitPathTokens(u"\"/a\" \"/b/x.txt\""), (Tokens{u"/a", u" ", u"/b/x.txt"}));
  EXPECT_EQ(SplitPathTokens(u"/my folder/with spaces"), (Tokens{u"/my folder/with spaces"}));
  EXPECT_EQ(SplitPathTokens(u"\"\"\"/a\"\"\""), (Tokens{u"/a"}));
  EXPECT_EQ(SplitPathTokens(u""), Tokens{});
  EXPECT_EQ(SplitPathTokens(u"\"\""), Tokens{});
  EXPECT_EQ(SplitPathTokens(u"\"/a"), (Tokens{u"/a"}));
}

TEST(PathHelpers, AbsoluteFolderFoldsDotsByTextAndEndsInOneSlash) {
  EXPECT_EQ(AbsoluteFolder(u"/a/./b/../c"), u"/a/c/");
  EXPECT_EQ(AbsoluteFolder(u"/a/b/"), u"/a/b/");
  EXPECT_EQ(AbsoluteFolder(u"\\a\\b"), u"/a/b/");
  EXPECT_EQ(AbsoluteFolder(u"/../.."), u"/");
  EXPECT_EQ(AbsoluteFolder(u"//a//b"), u"/a/b/");

  test::TempTree tree;
  tree.MakeFolder("work/sub");
  char* saved = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(tree.Path("work").c_str()), 0);
  EXPECT_EQ(AbsoluteFolder(u"."), test::U16(tree.Path("work") + "/"));
  EXPECT_EQ(AbsoluteFolder(u"sub/.."), test::U16(tree.Path("work") + "/"));
  EXPECT_EQ(chdir(saved), 0);
  free(saved);
}

TEST(PathHelpers, InitialFolderIsTheFirstExistingFolderOfATokensFolder) {
  test::TempTree tree;
  tree.Write("docs/a.txt");
  const std::u16string docs = test::U16(tree.Path("docs/"));
  EXPECT_EQ(InitialFolderFromPath(u"\"/no/such/x\" \"" + docs + u"a.txt\""), docs);
  EXPECT_EQ(InitialFolderFromPath(u"nothing here"), u"nothing here");
}

}  // namespace
}  // namespace trawlscope
