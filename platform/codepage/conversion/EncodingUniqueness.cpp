#include "platform/codepage/conversion/EncodingUniqueness.h"

#include <unicode/ucnv.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/codepage/conversion/ByteTableDecoder.h"
#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/conversion/ConverterCache.h"
#include "platform/codepage/PerCodePage.h"
#include "platform/codepage/conversion/SequenceConversion.h"

namespace trawlscope {
namespace {

constexpr char16_t kReplacementCharacter = u'\xFFFD';

bool IsUnicodeForm(CodePage codePage) {
  return codePage == codepage::kUtf8 || codePage == codepage::kUtf16Le ||
         codePage == codepage::kUtf16Be || codePage == codepage::kUtf32Le ||
         codePage == codepage::kUtf32Be;
}

using CharacterSet = std::unordered_set<char16_t>;

// Decodes one byte sequence that should be exactly one BMP character.
bool DecodeOne(UConverter* converter, const std::string& bytes, char16_t& character) {
  UChar out[4];
  UErrorCode status = U_ZERO_ERROR;
  ucnv_reset(converter);
  const int32_t length = ucnv_toUChars(converter, out, 4, bytes.data(),
                                       static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status) || length != 1) return false;
  character = out[0];
  return true;
}

// The byte sequences whose characters are weighed: up to two bytes, and
// EUC-JP's three-byte JIS X 0212 row; GB18030's four-byte forms are
// one-to-one by design.
bool HasJisX0212Row(CodePage codePage) { return codePage == codepage::kEucJp || codePage == 20932; }

void AppendJisX0212Row(std::vector<std::string>& sequences) {
  for (int second = 0xA1; second < 0xFF; ++second)
    for (int third = 0xA1; third < 0xFF; ++third) sequences.push_back({'\x8F', char(second), char(third)});
}

std::vector<std::string> SequencesToWeigh(CodePage codePage, bool doubleByte) {
  std::vector<std::string> sequences;
  for (int lead = 0; lead < 0x100; ++lead) {
    sequences.push_back(std::string(1, char(lead)));
    if (!doubleByte) continue;
    for (int trail = 0; trail < 0x100; ++trail) sequences.push_back({char(lead), char(trail)});
  }
  if (HasJisX0212Row(codePage)) AppendJisX0212Row(sequences);
  return sequences;
}

// The bytes of a sequence of up to three in one number, its length on top;
// longer ones, which no table holds, as a number no held sequence has.
uint32_t Packed(std::string_view bytes) {
  if (bytes.size() > 3) return UINT32_MAX;
  uint32_t packed = static_cast<uint32_t>(bytes.size()) << 24;
  for (size_t k = 0; k < bytes.size(); ++k) packed |= uint32_t{static_cast<unsigned char>(bytes[k])} << (16 - 8 * k);
  return packed;
}

// The byte sequences that decode to each character, worked out once per page.
struct FormsOfCharacters {
  // From the decoding table and EUC-JP's three-byte row: for each unit, how
  // many sequences decode to it (2 for two or more) and the one's bytes, packed.
  std::vector<uint8_t> count;
  std::vector<uint32_t> onlyForm;
  // Pages without a decoding table (Latin-1, the EBCDIC pages): the
  // characters with several forms, worked out a sequence at a time.
  std::unique_ptr<CharacterSet> several;
};

// From the decoding table, without asking ICU about any character: a
// character is then weighed only when a search text holds it, by encoding it
// alone. Null when the page does not allow it.
bool CountHeldForms(CodePage codePage, FormsOfCharacters& forms) {
  forms.count.assign(0x10000, 0);
  forms.onlyForm.assign(0x10000, 0);
  const auto take = [&](std::string_view bytes, char16_t character) {
    uint8_t& count = forms.count[character];
    if (count == 0) forms.onlyForm[character] = Packed(bytes);
    count = count == 0 ? 1 : 2;
  };
  if (!ForEachHeldSequence(codePage, take)) return false;
  if (HasJisX0212Row(codePage)) {
    std::vector<std::string> jisX0212;
    AppendJisX0212Row(jisX0212);
    if (!DecodeEachSequence(codePage, jisX0212, [&](size_t s, char16_t c) { take(jisX0212[s], c); })) return false;
  }
  return true;
}

// Every character that some byte sequence decodes to but that encodes back to
// other bytes, or to none: a duplicate or a one-way mapping.
std::unique_ptr<CharacterSet> ComputeCharactersWithSeveralForms(CodePage codePage) {
  UConverter* converter = CachedConverter(codePage, InvalidBytes::Stop);
  if (converter == nullptr) return nullptr;
  const bool doubleByte = ucnv_getMaxCharSize(converter) >= 2;
  auto several = std::make_unique<CharacterSet>();
  std::string encoded;
  const auto check = [&](const std::string& bytes) {
    char16_t character;
    if (!DecodeOne(converter, bytes, character)) return;
    if (!EncodeFromUtf16(std::u16string_view(&character, 1), codePage, encoded) || encoded != bytes)
      several->insert(character);
  };
  for (const std::string& sequence : SequencesToWeigh(codePage, doubleByte)) check(sequence);
  return several;
}

std::unique_ptr<FormsOfCharacters> ComputeFormsOfCharacters(CodePage codePage) {
  auto forms = std::make_unique<FormsOfCharacters>();
  if (CountHeldForms(codePage, *forms)) return forms;
  forms->count.clear();
  forms->onlyForm.clear();
  forms->several = ComputeCharactersWithSeveralForms(codePage);
  if (!forms->several) return nullptr;  // no converter
  return forms;
}

// Whether some byte sequence decodes to `character` but is not what it
// encodes to; null `forms` when the page has no converter.
bool HasSeveralForms(char16_t character, CodePage codePage) {
  const FormsOfCharacters* forms = OncePerCodePage<FormsOfCharacters, ComputeFormsOfCharacters>(codePage);
  if (forms == nullptr) return true;
  if (forms->several) return forms->several->count(character) != 0;
  const uint8_t count = forms->count[character];
  if (count != 1) return count > 1;
  std::string encoded;
  return !EncodeFromUtf16(std::u16string_view(&character, 1), codePage, encoded) ||
         Packed(encoded) != forms->onlyForm[character];
}

}  // namespace

bool HasUniqueByteForms(std::u16string_view text, CodePage codePage) {
  if (IsStatefulCodePage(codePage) || text.find(kReplacementCharacter) != std::u16string_view::npos)
    return false;
  std::string encoded;
  if (!EncodeFromUtf16(text, codePage, encoded)) return false;
  if (IsUnicodeForm(codePage)) return true;
  for (const char16_t c : text)
    if (HasSeveralForms(c, codePage)) return false;
  return true;
}

bool CanDecodeTo(char16_t character, CodePage codePage) {
  std::string encoded;
  if (character == kReplacementCharacter || IsUnicodeForm(codePage) || IsStatefulCodePage(codePage) ||
      EncodeFromUtf16(std::u16string_view(&character, 1), codePage, encoded))
    return true;
  return HasSeveralForms(character, codePage);
}

}  // namespace trawlscope
