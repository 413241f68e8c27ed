#include "platform/codepage/EncodingUniqueness.h"

#include <unicode/ucnv.h>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/codepage/ByteTableDecoder.h"
#include "platform/codepage/CodePageConverter.h"
#include "platform/codepage/ConverterCache.h"
#include "platform/codepage/PerCodePage.h"
#include "platform/codepage/SequenceConversion.h"

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

// The same as below from the decoding table's sequences and one call to ICU
// to encode their characters back, instead of one or two calls a sequence;
// null when the page does not allow it.
std::unique_ptr<CharacterSet> CharactersWithSeveralFormsAtOnce(CodePage codePage) {
  std::vector<std::string> sequences;
  std::u16string characters;
  const auto take = [&](std::string_view bytes, char16_t character) {
    sequences.emplace_back(bytes);
    characters += character;
  };
  if (!ForEachHeldSequence(codePage, take)) return nullptr;
  if (HasJisX0212Row(codePage)) {
    std::vector<std::string> jisX0212;
    AppendJisX0212Row(jisX0212);
    if (!DecodeEachSequence(codePage, jisX0212, [&](size_t s, char16_t c) { take(jisX0212[s], c); })) return nullptr;
  }
  std::vector<std::string> encoded;
  if (!EncodeEachUnit(codePage, characters, encoded)) return nullptr;
  auto several = std::make_unique<CharacterSet>();
  for (size_t k = 0; k < characters.size(); ++k)
    if (encoded[k] != sequences[k]) several->insert(characters[k]);
  return several;
}

// Every character that some byte sequence decodes to but that encodes back to
// other bytes, or to none: a duplicate or a one-way mapping.
std::unique_ptr<CharacterSet> ComputeCharactersWithSeveralForms(CodePage codePage) {
  if (auto atOnce = CharactersWithSeveralFormsAtOnce(codePage)) return atOnce;
  // Pages without a decoding table (Latin-1, the EBCDIC pages): a sequence at a time.
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

// Null when the code page has no converter.
const CharacterSet* CharactersWithSeveralForms(CodePage codePage) {
  return OncePerCodePage<CharacterSet, ComputeCharactersWithSeveralForms>(codePage);
}

}  // namespace

bool HasUniqueByteForms(std::u16string_view text, CodePage codePage) {
  if (IsStatefulCodePage(codePage) || text.find(kReplacementCharacter) != std::u16string_view::npos)
    return false;
  std::string encoded;
  if (!EncodeFromUtf16(text, codePage, encoded)) return false;
  if (IsUnicodeForm(codePage)) return true;
  const CharacterSet* several = CharactersWithSeveralForms(codePage);
  if (several == nullptr) return false;
  for (const char16_t c : text)
    if (several->count(c) != 0) return false;
  return true;
}

bool CanDecodeTo(char16_t character, CodePage codePage) {
  std::string encoded;
  if (character == kReplacementCharacter || IsUnicodeForm(codePage) || IsStatefulCodePage(codePage) ||
      EncodeFromUtf16(std::u16string_view(&character, 1), codePage, encoded))
    return true;
  const CharacterSet* several = CharactersWithSeveralForms(codePage);
  return several == nullptr || several->count(character) != 0;
}

}  // namespace trawlscope
