// The replace splice over valid texts in the code pages Japanese files come
// in: random edits must give bytes that decode to the edited text, with every
// byte outside the occurrences where it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/conversion/CodePageConverter.h"
#include "search/text/ByteSplice.h"
#include "search/text/TextEdits.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace trawlscope;
using fuzz::Require;

namespace {

struct Page {
  CodePage codePage;
  std::string_view mark;
};

const Page kPages[] = {
    {codepage::kUtf8, ""},
    {codepage::kUtf8, "\xEF\xBB\xBF"},
    {codepage::kShiftJis, ""},
    {codepage::kEucJp, ""},
    {codepage::kUtf16Le, "\xFF\xFE"},
    {1252, ""},
};

// Characters chosen for their bytes: trail bytes that look like ASCII in
// Shift_JIS ("表" is 95 5C), half-width kana, NEC and IBM extensions, JIS X
// 0212 in EUC-JP, the C1 range of windows-1252, a surrogate pair, NUL and
// line breaks.
const std::u16string_view kCharacters[] = {
    u"a", u"Z", u"0", u" ", u"\\", u"~", u"<", std::u16string_view(u"\0", 1), u"\t", u"\r", u"\n",
    u"あ", u"ア", u"ｱ", u"ﾞ", u"表", u"ソ", u"能", u"漢", u"≒", u"①", u"￢", u"∵",
    u"丂", u"é", u"ÿ", u"€", u"‰", u"\u00A0", u"\U0001F600", u"\uFFFD",
};

std::u16string_view PickCharacter(FuzzedDataProvider& input) {
  return kCharacters[input.ConsumeIntegralInRange<size_t>(0, std::size(kCharacters) - 1)];
}

// The character's bytes when it goes to the page and back unchanged.
bool RoundTrips(std::u16string_view character, CodePage codePage, std::string& bytes) {
  std::u16string back;
  return EncodeFromUtf16(character, codePage, bytes) && DecodeToUtf16(bytes, codePage, back) &&
         back == character;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const Page& page = kPages[input.ConsumeIntegralInRange<size_t>(0, std::size(kPages) - 1)];

  // The text, one character at a time, with the bytes of each.
  std::u16string text;
  std::vector<size_t> unitStart;  // of each character, then the text's end
  std::vector<size_t> byteStart;  // likewise, into the body after the mark
  std::string body;
  const size_t characters = input.ConsumeIntegralInRange<size_t>(0, 40);
  for (size_t i = 0; i < characters; ++i) {
    std::string bytes;
    const std::u16string_view character = PickCharacter(input);
    if (!RoundTrips(character, page.codePage, bytes)) continue;
    unitStart.push_back(text.size());
    byteStart.push_back(body.size());
    text += character;
    body += bytes;
  }
  unitStart.push_back(text.size());
  byteStart.push_back(body.size());
  const std::string file = std::string(page.mark) + body;
  std::u16string decoded;
  Require(DecodeToUtf16(body, page.codePage, decoded) && decoded == text,
          "the text's bytes decode to the text");

  // Edits on character boundaries, ascending, not overlapping; empty
  // occurrences too, as an expression can match them.
  TextEdits edits;
  std::vector<std::pair<size_t, size_t>> editCharacters;  // [first, last) characters
  bool encodable = true;
  size_t nextFree = 0;
  const size_t count = characters == 0 ? 0 : input.ConsumeIntegralInRange<size_t>(0, 6);
  for (size_t e = 0; e < count && nextFree < unitStart.size(); ++e) {
    const size_t first = input.ConsumeIntegralInRange<size_t>(nextFree, unitStart.size() - 1);
    const size_t last = input.ConsumeIntegralInRange<size_t>(first, std::min(first + 3, unitStart.size() - 1));
    TextEdit edit{unitStart[first], unitStart[last] - unitStart[first], {}};
    const size_t replacementLength = input.ConsumeIntegralInRange<size_t>(0, 4);
    for (size_t r = 0; r < replacementLength; ++r) {
      const std::u16string_view character = PickCharacter(input);
      std::string ignored;
      if (!EncodeFromUtf16(character, page.codePage, ignored)) encodable = false;
      edit.replacement += character;
    }
    edits.push_back(edit);
    editCharacters.emplace_back(first, last);
    nextFree = last == first ? last + 1 : last;
  }

  const SpliceResult result = SpliceEdits(file, page.mark.size(), page.codePage, text, edits);
  if (!encodable) {
    Require(!result.done, "a replacement the page cannot hold leaves the file");
    return 0;
  }
  Require(result.done, "valid text with encodable replacements is spliced");

  std::string expected(page.mark);
  size_t copied = 0;
  for (size_t e = 0; e < edits.size(); ++e) {
    std::string replacement;
    EncodeFromUtf16(edits[e].replacement, page.codePage, replacement);
    expected += body.substr(copied, byteStart[editCharacters[e].first] - copied);
    expected += replacement;
    copied = byteStart[editCharacters[e].second];
  }
  expected += body.substr(copied);
  Require(result.bytes == expected, "only the occurrences' bytes change");

  std::u16string reread;
  Require(DecodeToUtf16(std::string_view(result.bytes).substr(page.mark.size()), page.codePage, reread) &&
              reread == ApplyEdits(text, edits),
          "the new bytes decode to the edited text");
  return 0;
}
