#include "platform/IniText.h"

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
