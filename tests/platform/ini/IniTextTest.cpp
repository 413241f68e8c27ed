#include "platform/ini/IniText.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

TEST(IniText, FindsValuesBySectionAndKeyIgnoringAsciiCase) {
  const std::string text =
      "; a comment\n[Filepath]\nEditControl=/home/a\n0 = first \n[checkbox]\nRegex=1\n";
  EXPECT_EQ(FindIniValue(text, "Filepath", "EditControl"), "/home/a");
  EXPECT_EQ(FindIniValue(text, "Filepath", "0"), "first");
  EXPECT_EQ(FindIniValue(text, "CheckBox", "regex"), "1");
  EXPECT_FALSE(FindIniValue(text, "CheckBox", "Subfolder"));
  EXPECT_FALSE(FindIniValue(text, "Missing", "Regex"));
  EXPECT_FALSE(FindIniValue(text, "Filepath", "; a comment"));
}

TEST(IniText, KeyInAnotherSectionIsNotFound) {
  EXPECT_FALSE(FindIniValue("[A]\nk=1\n[B]\nother=2\n", "B", "k"));
}

TEST(IniText, SettingAKeyKeepsEveryOtherLineByteForByte) {
  const std::string text = "# mine\r\n[Editor]\r\nCommand=gedit +%d \"%s\"\r\n\r\n[A]\r\nk=1\r\n";
  EXPECT_EQ(SetIniValue(text, "A", "k", "2"),
            "# mine\r\n[Editor]\r\nCommand=gedit +%d \"%s\"\r\n\r\n[A]\r\nk=2\r\n");
  EXPECT_EQ(SetIniValue(text, "Editor", "Other", "x"),
            "# mine\r\n[Editor]\r\nCommand=gedit +%d \"%s\"\r\nOther=x\r\n\r\n[A]\r\nk=1\r\n");
  EXPECT_EQ(SetIniValue(text, "New", "key", "v"), text + "[New]\r\nkey=v\r\n");
}

TEST(IniText, SettingIntoAnEmptyOrUnterminatedText) {
  EXPECT_EQ(SetIniValue("", "S", "k", "v"), "[S]\nk=v\n");
  EXPECT_EQ(SetIniValue("[S]\nk=v", "S", "j", "w"), "[S]\nk=v\nj=w\n");
  EXPECT_EQ(SetIniValue("[S]\nk=v", "T", "j", "w"), "[S]\nk=v\n[T]\nj=w\n");
}

// Each style of line break, the file written in it throughout: reading sees
// every line, and whatever is added uses the same break.
TEST(IniText, EachLineBreakStyleIsReadAndKept) {
  for (const std::string br : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(testing::PrintToString(br));
    const auto lines = [&](std::initializer_list<const char*> parts) {
      std::string text;
      for (const char* part : parts) text += part + br;
      return text;
    };
    const std::string text = lines({"; kept", "[Settings]", "Regex=1", "", "[Filepath]", "0=/a"});
    EXPECT_EQ(FindIniValue(text, "Settings", "Regex"), "1");
    EXPECT_EQ(FindIniValue(text, "Filepath", "0"), "/a");
    EXPECT_FALSE(FindIniValue(text, "Settings", "0"));

    EXPECT_EQ(SetIniValue(text, "Settings", "Regex", "0"),
              lines({"; kept", "[Settings]", "Regex=0", "", "[Filepath]", "0=/a"}));
    EXPECT_EQ(SetIniValue(text, "Settings", "Case", "1"),
              lines({"; kept", "[Settings]", "Regex=1", "Case=1", "", "[Filepath]", "0=/a"}));
    EXPECT_EQ(SetIniValue(text, "Editor", "Command", "vi"), text + lines({"[Editor]", "Command=vi"}));

    const std::string unterminated = text.substr(0, text.size() - br.size());
    EXPECT_EQ(SetIniValue(unterminated, "Filepath", "1", "/b"), text + lines({"1=/b"}));
  }
}

// A lone CR after the header used to be part of the header's line, so a new
// key was added after it on the same line and could not be read back.
TEST(IniText, KeyAddedAfterAHeaderEndedByALoneCrCanBeRead) {
  const std::string text = SetIniValue("[Settings]\r", "Settings", "Regex", "1");
  EXPECT_EQ(text, "[Settings]\rRegex=1\r");
  EXPECT_EQ(FindIniValue(text, "Settings", "Regex"), "1");
}

// In a file of mixed breaks a new key takes the break of the line before it:
// a CR of ours followed by the next blank line's LF would read as one CR LF.
TEST(IniText, MixedLineBreaksStayAsTheyWere) {
  const std::string text = "[S]\rk=1\n\n[T]\r\nt=2";
  EXPECT_EQ(FindIniValue(text, "S", "k"), "1");
  EXPECT_EQ(FindIniValue(text, "T", "t"), "2");
  EXPECT_EQ(SetIniValue(text, "S", "j", "3"), "[S]\rk=1\nj=3\n\n[T]\r\nt=2");
  EXPECT_EQ(SetIniValue(text, "T", "u", "4"), "[S]\rk=1\n\n[T]\r\nt=2\ru=4\r");
  EXPECT_EQ(SetIniValue(text, "S", "k", "5"), "[S]\rk=5\n\n[T]\r\nt=2");
}

TEST(IniText, AwkwardValuesComeBackExactly) {
  const std::string values[] = {"  padded  ", "\"quoted\"", "\"", "a=b", ";semi", "#hash",
                                "[bracket]", "tab\tinside", "日本語", "", " ", "\"\""};
  for (const std::string& value : values) {
    const std::string text = SetIniValue("[S]\n", "S", "k", value);
    EXPECT_EQ(FindIniValue(text, "S", "k"), value) << text;
  }
}

TEST(IniText, LineBreaksInAValueAreDroppedSoTheFileKeepsItsShape) {
  const std::string text = SetIniValue("[S]\nafter=1\n", "S", "k", "one\r\ntwo\nthree");
  EXPECT_EQ(FindIniValue(text, "S", "k"), "onetwothree");
  EXPECT_EQ(FindIniValue(text, "S", "after"), "1");
}

}  // namespace
}  // namespace trawlscope
