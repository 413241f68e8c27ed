#include "platform/codepage/conversion/UnwritableCharacters.h"

#include <gtest/gtest.h>

#include "platform/codepage/conversion/CodePageConverter.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::Transcode;

// The decoder counts the stand-ins it puts in for bytes the page does not
// define, and only those: a file's own U+FFFD or SUB is text.
TEST(UndecodableBytes, TheDecoderCountsOnlyTheBytesThePageDidNotDefine) {
  struct Case {
    std::string bytes;
    CodePage page;
    bool undecodable;
  } const cases[] = {
      {Transcode("関数です", "Shift_JIS"), codepage::kEucJp, true},
      {Transcode("関数です", "Shift_JIS"), codepage::kShiftJis, false},
      {"a\xFF\xFE", codepage::kShiftJis, true},        // SUB from ICU's table
      {"a\x1A\x1A", codepage::kShiftJis, false},       // SUB as the file has it
      {"\xEF\xBF\xBD ok", codepage::kUtf8, false},     // U+FFFD as the file has it
      {"\xEF\xBF\xBD \xC3", codepage::kUtf8, true},    // and one more for a cut sequence
      {Transcode("Привет", "KOI8-R"), 20866, false},
      {"\x81\x8D", 1252, false},                       // undefined in 1252, but ICU maps them to C1
  };
  for (const Case& c : cases) {
    std::u16string text;
    size_t undecodable = 0;
    ASSERT_TRUE(DecodeToUtf16(c.bytes, c.page, text, &undecodable));
    EXPECT_EQ(undecodable > 0, c.undecodable) << c.page << " " << c.bytes;
  }
}

TEST(UnwritableCharacters, AreNamedOnceEachInTheirOrder) {
  struct Case {
    std::u16string text;
    CodePage page;
    std::u16string unwritable;
  } const cases[] = {
      {u"😀関数😀é", codepage::kShiftJis, u"😀é"},
      {u"関数", codepage::kEucJp, u""},
      {u"関数 да", 20866, u"関数"},
      {u"plain ASCII", 20866, u""},
      {u"😀", codepage::kUtf16Le, u""},
      {u"é", 1252, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(UnwritableCharacters(c.text, c.page), c.unwritable) << c.page;
}

}  // namespace
}  // namespace trawlscope
