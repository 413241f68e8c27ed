#include "platform/codepage/conversion/Utf8Prefix.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <string>

#include "platform/codepage/conversion/CodePageConverter.h"

namespace trawlscope {
namespace {

// ICU's own decoding of the whole, substitutes and all.
std::u16string IcuDecodeUtf8(std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open("UTF-8", &status);
  std::u16string text(bytes.size() * 2 + 16, u'\0');
  const char* from = bytes.data();
  UChar* to = reinterpret_cast<UChar*>(text.data());
  ucnv_toUnicode(converter, &to, to + text.size(), &from, bytes.data() + bytes.size(), nullptr, true, &status);
  EXPECT_TRUE(U_SUCCESS(status));
  text.resize(static_cast<size_t>(to - reinterpret_cast<UChar*>(text.data())));
  ucnv_close(converter);
  return text;
}

// The prefix decoded alone is ICU's text of those bytes, and the whole
// decodes as ICU decodes it.
void ExpectIcusText(const std::string& bytes) {
  std::u16string room(bytes.size(), u'\0');
  const HeldPrefix held = DecodeUtf8Prefix(bytes, room.data());
  ASSERT_LE(held.bytes, bytes.size());
  EXPECT_EQ(room.substr(0, held.units), IcuDecodeUtf8(bytes.substr(0, held.bytes)));
  std::u16string text;
  ASSERT_TRUE(DecodeToUtf16(bytes, codepage::kUtf8, text));
  EXPECT_EQ(text, IcuDecodeUtf8(bytes));
}

// The edges of each form, well formed or not, alone, between letters, and
// cut off by the end; Unicode's table 3-7 draws the lines.
TEST(Utf8Prefix, EdgesOfEveryFormDecodeAsIcuDecodesThem) {
  struct Edge {
    const char* bytes;
    bool wellFormed;
  };
  const Edge edges[] = {
      {"\x7F", true},          {"\x80", false},          {"\xBF", false},
      {"\xC0\x80", false},     {"\xC1\xBF", false},      {"\xC2\x80", true},
      {"\xDF\xBF", true},      {"\xC2\x7F", false},      {"\xC2\xC0", false},
      {"\xE0\x9F\xBF", false}, {"\xE0\xA0\x80", true},   {"\xEC\xBF\xBF", true},
      {"\xED\x9F\xBF", true},  {"\xED\xA0\x80", false},  {"\xED\xBF\xBF", false},
      {"\xEE\x80\x80", true},  {"\xEF\xBB\xBF", true},   {"\xEF\xBF\xBE", true},
      {"\xEF\xBF\xBF", true},  {"\xE3\x81\x7F", false},  {"\xF0\x8F\xBF\xBF", false},
      {"\xF0\x90\x80\x80", true}, {"\xF3\xBF\xBF\xBF", true}, {"\xF4\x8F\xBF\xBF", true},
      {"\xF4\x90\x80\x80", false}, {"\xF5\x80\x80\x80", false}, {"\xF0\x9F\x98\x41", false},
      {"\xFE", false},         {"\xFF", false},
  };
  for (const Edge& edge : edges) {
    const std::string form = edge.bytes;
    SCOPED_TRACE(testing::PrintToString(form));
    for (const std::string& bytes : {form, "ab" + form + "yz", "0123456789abcdef" + form + form, form + "\xE9\x96\xA2"}) {
      std::u16string room(bytes.size(), u'\0');
      EXPECT_EQ(DecodeUtf8Prefix(bytes, room.data()).bytes == bytes.size(), edge.wellFormed);
      ExpectIcusText(bytes);
    }
    // Cut after each of its bytes.
    for (size_t cut = 1; cut < form.size(); ++cut) ExpectIcusText("abc" + form.substr(0, cut));
  }
}

}  // namespace
}  // namespace trawlscope
