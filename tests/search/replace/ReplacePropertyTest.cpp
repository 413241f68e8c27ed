// For random valid texts in each code page: after a replace, the file is the
// old bytes with exactly the occurrences' bytes swapped for the encoded
// replacement, and not one other byte changed.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "search/file/FileSearcher.h"
#include "search/replace/FileReplacer.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::Transcode;

// Pieces of text the page can hold; the needle's characters are in none of them.
const std::vector<std::string> kJapanesePieces = {"漢字", "かな", "カナ", "ABC", "123", " ", "\r\n",
                                                 "\n", "。", "、", "（注）", "＝", "x", "表", "ソ", "能"};
// Kana in GB18030 would read as EUC-JP: Chinese text for the Chinese page.
const std::vector<std::string> kChinesePieces = {"汉字", "中国", "ABC", "123", " ", "\r\n", "\n",
                                                "。", "，", "（注）", "表", "能"};
const char kNeedle[] = "【鍵】";
const char kReplacement[] = "《新しい鍵》";

TEST(ReplaceProperty, OnlyTheOccurrencesChangeInEveryCodePage) {
  const char* converters[] = {"windows-31j", "EUC-JP", "UTF-8", "UTF-16LE", "UTF-16BE", "GB18030"};
  const auto piecesFor = [](const std::string& converter) {
    return converter == "GB18030" ? kChinesePieces : kJapanesePieces;
  };
  const auto proseFor = [](const std::string& converter) {
    return converter == "GB18030" ? test::kChineseSentence : test::kJapaneseSentence;
  };
  std::mt19937 random(4242);
  test::TempTree tree;
  const AbortFlag never{false};
  for (const char* converter : converters) {
    for (int round = 0; round < 25; ++round) {
      SCOPED_TRACE(std::string(converter) + " round " + std::to_string(round));
      // Long enough to be detected; the mark settles the UTF-16 files.
      std::string before = std::string(converter).rfind("UTF-16", 0) == 0
                               ? (converter[6] == 'L' ? "\xFF\xFE" : "\xFE\xFF")
                               : "";
      std::string after = before;
      before += Transcode(proseFor(converter), converter);
      after += Transcode(proseFor(converter), converter);
      const auto& pieces = piecesFor(converter);
      int occurrences = 0;
      for (int i = 0; i < 200; ++i) {
        if (random() % 12 == 0) {
          before += Transcode(kNeedle, converter);
          after += Transcode(kReplacement, converter);
          ++occurrences;
        } else {
          const std::string piece = Transcode(pieces[random() % pieces.size()], converter);
          before += piece;
          after += piece;
        }
      }
      const std::string path = tree.Write("f.txt", before);
      FileSearcher searcher;
      searcher.Prepare(false, true, test::U16(kNeedle), u"");
      const auto outcome = FileReplacer(searcher).ReplaceInFile(never, test::U16(path), test::U16(kReplacement));
      ASSERT_EQ(outcome.replacements, static_cast<size_t>(occurrences)) << static_cast<int>(outcome.problem);
      ASSERT_EQ(tree.Read("f.txt"), after);
    }
  }
}

}  // namespace
}  // namespace trawlscope
