#include "platform/files/NativePath.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

TEST(NativePath, ValidUtf8RoundTripsThroughUtf16) {
  const std::string names[] = {"plain.txt", "日本語のファイル.txt", "emoji-😀.md", "ü", ""};
  for (const std::string& name : names) EXPECT_EQ(ToNativeBytes(FromNativePath(name)), name);
  EXPECT_EQ(FromNativePath("😀"), u"😀");
  EXPECT_EQ(FromNativePath("日本"), u"日本");
}

TEST(NativePath, BytesThatAreNotUtf8SurviveTheRoundTrip) {
  // Shift_JIS "日本" as a file name, an overlong "/", a lone continuation byte,
  // an encoded surrogate and a sequence cut short at the end.
  const std::string names[] = {"\x93\xfa\x96\x7b.txt", "\xc0\xaf", "a\x80z", "\xed\xa0\x80",
                               "end\xe6\x97"};
  for (const std::string& name : names) {
    const std::u16string text = FromNativePath(name);
    EXPECT_EQ(ToNativeBytes(text), name);
    EXPECT_EQ(ToNativePath(text), name);
  }
  EXPECT_EQ(FromNativePath("a\x80z"), std::u16string(u"a\xDC80z"));
}

TEST(NativePath, BackslashSeparatesFoldersOnlyInPathText) {
  EXPECT_EQ(ToNativePath(u"dir\\sub\\file.txt"), "dir/sub/file.txt");
  EXPECT_EQ(ToNativeBytes(u"dir\\file"), "dir\\file");
}

TEST(NativePath, BackslashInANameReadFromDiskStaysPartOfTheName) {
  for (const std::string name : {"..\\victim.txt", "a\\b.txt", "ends\\", "\\\x80"}) {
    const std::u16string text = FromNativeName(name);
    EXPECT_EQ(text.find(u'\\'), std::u16string::npos) << name;  // nothing a splitter would cut
    EXPECT_EQ(ToNativePath(text), name);
    EXPECT_EQ(ToNativeBytes(text), name);
    // A listing appends the name to its folder's path: the same escapes.
    std::u16string path = u"/folder/";
    AppendNativeName(path, name);
    EXPECT_EQ(path, u"/folder/" + text) << name;
  }
  EXPECT_EQ(FromNativePath("a\\b"), u"a\\b");  // text that is no name keeps its backslash
}

TEST(NativePath, DisplayPathShowsBackslashesAndReplacesBytesThatAreNotText) {
  EXPECT_EQ(DisplayPath(FromNativeName("dir/..\\x.txt")), u"dir/..\\x.txt");
  EXPECT_EQ(DisplayPath(FromNativeName("a\x93\xfa.txt")), u"a\uFFFD\uFFFD.txt");
  EXPECT_EQ(DisplayPath(u"日本😀"), u"日本😀");
}

TEST(NativePath, UnpairedSurrogateThatIsNoEscapeBecomesReplacementCharacter) {
  EXPECT_EQ(ToNativeBytes(std::u16string(u"a\xD800" u"b")), "a\xEF\xBF\xBD" "b");
}

}  // namespace
}  // namespace trawlscope
