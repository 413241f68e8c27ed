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

// Each name prints as one field that reads back as exactly that name, and a
// name in valid UTF-8 prints as it always did unless a "\" stands before
// what would read as an escape.
TEST(EscapedName, EveryNameReadsBackAndValidUtf8PrintsAsItIs) {
  const std::pair<std::string, std::string> cases[] = {
      {"caf\xC3\xA9.txt", "caf\xC3\xA9.txt"},
      {"caf\xEF\xBF\xBD.txt", "caf\xEF\xBF\xBD.txt"},           // U+FFFD is a name's own character
      {"caf\xE9.txt", "caf\\xE9.txt"},                          // Latin-1
      {"\x93\xFA\x96\x7B.txt", "\\x93\\xFA\\x96{.txt"},         // Shift_JIS: the second byte of a pair may be ASCII
      {"end\xE6\x97", "end\\xE6\\x97"},                         // a sequence cut short
      {"tab\there\r\n", "tab\\x09here\\x0D\\x0A"},
      {"a\\b\\\\c\\x41", "a\\b\\\\c\\\\x41"},                   // only the "\" before "x41" is doubled
      {"\\xE9", "\\\\xE9"},
      {"\\\xE9", "\\\\\\xE9"},
      {"\\\\\xE9", "\\\\\\\\\\xE9"},
      {"\\xyz\\x4", "\\xyz\\x4"},
      {"ends\\", "ends\\"},
  };
  for (const auto& [name, printed] : cases) {
    EXPECT_EQ(EscapedName(name), printed) << printed;
    size_t badAt = 0;
    EXPECT_EQ(UnescapedName(printed, badAt), name) << printed;
  }
}

TEST(EscapedName, AnEscapeOfAByteThatPrintsAsItselfIsRefused) {
  // "\xC3\xA9" spells "é", which prints as itself; "\x41" is "A".
  const std::pair<std::string, size_t> refused[] = {
      {"caf\\xC3\\xA9.txt", 3}, {"a\\x41", 1}, {"\\x5C", 0}, {"x\\\\\\x00", 3}, {"\\xC3\xA9", 0}};
  for (const auto& [text, at] : refused) {
    size_t badAt = 99;
    EXPECT_EQ(UnescapedName(text, badAt), std::nullopt) << text;
    EXPECT_EQ(badAt, at) << text;
  }
  size_t badAt = 0;
  EXPECT_EQ(UnescapedName("caf\\xe9\xE9", badAt), "caf\xE9\xE9");  // lower case, and a raw byte as it is
}

}  // namespace
}  // namespace trawlscope
