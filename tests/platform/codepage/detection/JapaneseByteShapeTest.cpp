#include "platform/codepage/detection/JapaneseByteShape.h"

#include <gtest/gtest.h>

#include <string>

#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::Transcode;

// Japanese prose reads as what it is, bare or between markup of any length
// (the ASCII runs are passed over in blocks), and a sample cut inside a
// character still counts.
TEST(JapaneseByteShape, ProseIsReadInItsOwnPageWhateverMarkupSurroundsIt) {
  std::string prose;
  for (int i = 0; i < 4; ++i) prose += test::kJapaneseSentence;
  for (const std::string& markup : {std::string(), std::string("<p>"), std::string(70, 'x') + "\n"}) {
    std::string utf8;
    for (int i = 0; i < 6; ++i) utf8 += markup + test::kJapaneseSentence;
    const std::string sjis = Transcode(utf8, "Shift_JIS");
    const std::string euc = Transcode(utf8, "EUC-JP");
    EXPECT_EQ(ClearlyJapanese(sjis), codepage::kShiftJis) << markup;
    EXPECT_EQ(ClearlyJapanese(euc), codepage::kEucJp) << markup;
    EXPECT_EQ(ClearlyJapanese(sjis.substr(0, sjis.size() - 1)), codepage::kShiftJis) << markup;
    EXPECT_EQ(ClearlyJapanese(euc.substr(0, euc.size() - 1)), codepage::kEucJp) << markup;
  }
  // Latin-1 accents and UTF-8 are neither.
  EXPECT_EQ(ClearlyJapanese(std::string(200, 'a') + "caf\xE9 na\xEFve"), codepage::kNone);
  EXPECT_EQ(ClearlyJapanese(prose), codepage::kNone);
}

}  // namespace
}  // namespace trawlscope
