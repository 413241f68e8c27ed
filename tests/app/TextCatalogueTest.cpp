// The Qt-free catalogue seam: texts by their English source, the installed
// catalogue's words when it has them, and our own %1 substitution.
#include <gtest/gtest.h>

#include <map>

#include "app/AppTexts.h"
#include "app/CountTexts.h"
#include "app/TextCatalogue.h"

namespace trawlscope {
namespace {

class FakeCatalogue final : public ITextCatalogue {
 public:
  std::map<std::string, std::string> words;  // "context|source" -> translation
  std::string Translate(const CatalogueText& text) const override {
    const auto found = words.find(std::string(text.context) + "|" + text.source);
    return found == words.end() ? std::string() : found->second;
  }
};

class TextCatalogueTest : public testing::Test {
 protected:
  FakeCatalogue catalogue;
  void TearDown() override { InstallTextCatalogue(nullptr); }
};

TEST_F(TextCatalogueTest, WithoutACatalogueTheEnglishSourceStands) {
  EXPECT_EQ(Words(texts::kRegexError), u"The regular expression has an error.");
  EXPECT_EQ(FilesText(1), u"1 file");
  EXPECT_EQ(OccurrencesText(3), u"3 occurrences");
}

TEST_F(TextCatalogueTest, TheInstalledCatalogueWordsWhatItKnowsAndOnlyThat) {
  catalogue.words["Messages|The regular expression has an error."] = "正規表現に誤りがあります。";
  catalogue.words["Counts|%1 files"] = "%1 ファイル";
  InstallTextCatalogue(&catalogue);
  EXPECT_EQ(Words(texts::kRegexError), u"正規表現に誤りがあります。");
  EXPECT_EQ(WordsUtf8(texts::kRegexError), "正規表現に誤りがあります。");
  EXPECT_EQ(FilesText(2), u"2 ファイル");
  EXPECT_EQ(FilesText(1), u"1 file");  // no translation: the source, not an empty text
  // The same source in another context is another text.
  EXPECT_EQ(Words(TRAWLSCOPE_TEXT("Elsewhere", "The regular expression has an error.")),
            u"The regular expression has an error.");
}

TEST(FillIn, PutsEachArgumentWhereItsNumberStandsInAnyOrder) {
  EXPECT_EQ(FillIn(u"Replaced %1 in %2.", {u"3 occurrences", u"1 file"}), u"Replaced 3 occurrences in 1 file.");
  EXPECT_EQ(FillIn(u"%2 の %1 を置換しました。", {u"3 箇所", u"1 ファイル"}), u"1 ファイル の 3 箇所 を置換しました。");
  EXPECT_EQ(FillIn(std::string_view("%1 KB"), {"1.5"}), "1.5 KB");
}

// A replacement text typed by the user may hold "%2": it must come out as typed.
TEST(FillIn, AnArgumentIsNeverSubstitutedAgain) {
  EXPECT_EQ(FillIn(u"Replace the %1 with \"%2\"?", {u"2 occurrences", u"100%1"}),
            u"Replace the 2 occurrences with \"100%1\"?");
  EXPECT_EQ(FillIn(u"%1", {u"%2", u"x"}), u"%2");
}

TEST(FillIn, MarkersWithoutAnArgumentStayAsTheyAre) {
  EXPECT_EQ(FillIn(u"50% of %1, %3 and %", {u"a"}), u"50% of a, %3 and %");
  EXPECT_EQ(FillIn(u"%0%1", {u"a"}), u"%0a");
}

}  // namespace
}  // namespace trawlscope
