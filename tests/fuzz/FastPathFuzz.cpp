// Differential: the fast decoding and scanning paths against their slow
// references (ICU's whole decoding with its stand-ins and count, the scalar
// line count and binary check, a unit-at-a-time high-byte walk).
#include <unicode/ucnv.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage/binary/BinaryContent.h"
#include "platform/codepage/ByteScan.h"
#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/codepage/CodePageTable.h"
#include "platform/codepage/conversion/ByteTableDecoder.h"
#include "platform/codepage/detection/SingleByteReading.h"
#include "search/matching/scan/LineCounter.h"
#include "tests/fuzz/FuzzCheck.h"

// The scalar binary check: the same source without its vector paths.
namespace reference {
using namespace ::trawlscope;
// The header's types, which its include guard keeps from being declared again in here.
namespace trawlscope::binary_content {
using ::trawlscope::binary_content::ByteRounds;
}
#pragma push_macro("__SSE2__")
#undef __SSE2__
#include "platform/codepage/binary/BinaryContent.cpp"
#pragma pop_macro("__SSE2__")
}  // namespace reference

using namespace trawlscope;
using fuzz::Require;

namespace {

void Count(const void* context, UConverterToUnicodeArgs* args, const char* units, int32_t length,
           UConverterCallbackReason reason, UErrorCode* status) {
  if (reason <= UCNV_IRREGULAR) ++*static_cast<size_t*>(const_cast<void*>(context));
  UCNV_TO_U_CALLBACK_SUBSTITUTE(nullptr, args, units, length, reason, status);
}

std::u16string IcuDecode(std::string_view bytes, CodePage page, size_t& count) {
  struct Close {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
  };
  static std::map<CodePage, std::unique_ptr<UConverter, Close>> own;
  auto& slot = own[page];
  UErrorCode status = U_ZERO_ERROR;
  if (!slot) slot.reset(ucnv_open(IcuConverterName(page), &status));
  UConverter* converter = slot.get();
  ucnv_reset(converter);
  count = 0;
  ucnv_setToUCallBack(converter, Count, &count, nullptr, nullptr, &status);
  std::u16string text(bytes.size() * 2 + 16, u'\0');
  const char* from = bytes.data();
  UChar* to = reinterpret_cast<UChar*>(text.data());
  ucnv_toUnicode(converter, &to, to + text.size(), &from, bytes.data() + bytes.size(), nullptr, true, &status);
  Require(U_SUCCESS(status), "ICU decodes");
  text.resize(static_cast<size_t>(to - reinterpret_cast<UChar*>(text.data())));
  return text;
}

template <typename Unit>
void CheckLines(std::basic_string_view<Unit> text, const std::uint8_t* steps, size_t stepCount) {
  LineCounter<Unit> counter(text);
  std::int64_t line = 1;
  size_t at = 0;
  for (size_t s = 0; s <= stepCount; ++s) {
    const size_t next = s < stepCount ? std::min(text.size(), at + steps[s] % 40) : text.size();
    for (; at < next; ++at)
      // A line ends at each LF, and at each CR that no LF follows.
      if (text[at] == Unit('\n') || (text[at] == Unit('\r') && (at + 1 == text.size() || text[at + 1] != Unit('\n'))))
        ++line;
    Require(counter.LineOf(at) == line, "line as counted unit by unit");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned pick = data[0];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  // The pages with tables first, then every other a user can choose but
  // UTF-16LE, whose odd last byte is dropped rather than stood in for.
  static const std::vector<CodePage> pages = [] {
    std::vector<CodePage> chosen = {codepage::kUtf8, codepage::kShiftJis, codepage::kEucJp, 936, 949, 950,
                                    1252, 1251, 1253, 28591, 28595, 874, 866, 20866};
    for (const CodePage page : ChoosableCodePages())
      if (page != codepage::kUtf16Le && IcuConverterName(page) != nullptr &&
          std::find(chosen.begin(), chosen.end(), page) == chosen.end())
        chosen.push_back(page);
    return chosen;
  }();
  const CodePage page = pages[pick % pages.size()];
  std::u16string text;
  size_t undecodable = 0;
  Require(DecodeToUtf16(bytes, page, text, &undecodable), "decodes");
  size_t expectedCount = 0;
  const std::u16string expected = IcuDecode(bytes, page, expectedCount);
  Require(text == expected, "ICU's text");
  Require(undecodable == expectedCount, "ICU's count of stand-ins");

  size_t next = FindFirstHighByte(bytes);
  for (size_t i = 0;; ++i) {
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
    Require(next == i, "the next high byte");
    if (i >= bytes.size()) break;
    next = FindNextHighByte(bytes, i + 1);
  }

  Require(IsBinaryContent(bytes) == reference::trawlscope::IsBinaryContent(bytes), "the scalar binary check");

  // An ISO page and its Windows sibling, or any two pages: the whole of
  // both readings, as the check read them before it looked at byte values.
  static const CodePage siblings[][2] = {{28591, 1252}, {28595, 1251}, {28597, 1253}, {28592, 1250},
                                         {28599, 1254}, {28605, 1252}, {932, 1252}, {20866, 1251}};
  const auto& two = siblings[(pick / 16) % std::size(siblings)];
  const std::string_view part = bytes.substr(FindFirstHighByte(bytes));
  std::u16string first(part.size(), u'\0'), second(part.size(), u'\0');
  const HeldPrefix heldA = DecodeHeldPrefix(part, two[0], first.data());
  const HeldPrefix heldB = DecodeHeldPrefix(part, two[1], second.data());
  const bool alike = heldA.bytes == part.size() && heldB.bytes == part.size() &&
                     first.substr(0, heldA.units) == second.substr(0, heldB.units);
  Require(SingleByteReadingsAgree(bytes, two[0], two[1]) == alike, "the readings agree as whole readings do");

  const size_t half = bytes.size() / 2;
  std::u16string wide(half, u'\0');
  for (size_t k = 0; k < half; ++k)
    wide[k] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                    static_cast<unsigned char>(bytes[2 * k + 1]) << 8);
  CheckLines<char16_t>(wide, data, std::min<size_t>(size, 8));
  CheckLines<char>(bytes, data, std::min<size_t>(size, 8));
  CheckLines<char16_t>(text, data, std::min<size_t>(size, 8));
  return 0;
}
