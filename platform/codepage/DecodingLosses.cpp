#include "platform/codepage/DecodingLosses.h"

#include <algorithm>

#include "platform/codepage/CodePageConverter.h"

namespace trawlscope {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;
// ICU's tables for some double-byte pages (Shift_JIS among them) put the
// control character SUB in for a byte sequence they do not define.
constexpr char16_t kSubstitute = 0x1A;

size_t CountOf(std::string_view bytes, std::string_view what) {
  if (what.empty()) return 0;
  size_t count = 0;
  for (size_t at = bytes.find(what); at != std::string_view::npos; at = bytes.find(what, at + what.size())) ++count;
  return count;
}

// How often the page's own bytes for `character` stand in `bytes`.
size_t WrittenCount(std::string_view bytes, CodePage codePage, char16_t character) {
  std::string encoded;
  if (!EncodeFromUtf16(std::u16string_view(&character, 1), codePage, encoded)) return 0;
  return CountOf(bytes, encoded);
}

// Whether the text holds either character at all: a branchless pass over
// blocks that the compiler widens, for the text of every file with a hit.
bool HoldsEither(std::u16string_view text) {
  constexpr size_t kBlock = 64;
  size_t i = 0;
  for (; i + kBlock <= text.size(); i += kBlock) {
    bool found = false;
    for (size_t j = i; j < i + kBlock; ++j) found |= (text[j] == kReplacementCharacter) | (text[j] == kSubstitute);
    if (found) return true;
  }
  for (; i < text.size(); ++i)
    if (text[i] == kReplacementCharacter || text[i] == kSubstitute) return true;
  return false;
}

}  // namespace

bool HasUndecodableBytes(std::string_view bytes, CodePage codePage, std::u16string_view text) {
  if (!HoldsEither(text)) return false;
  const size_t replacements = static_cast<size_t>(std::count(text.begin(), text.end(), kReplacementCharacter));
  const size_t substitutes = static_cast<size_t>(std::count(text.begin(), text.end(), kSubstitute));
  if (replacements == 0 && substitutes == 0) return false;
  return (replacements > 0 && replacements > WrittenCount(bytes, codePage, kReplacementCharacter)) ||
         (substitutes > 0 && substitutes > WrittenCount(bytes, codePage, kSubstitute));
}

std::u16string UnwritableCharacters(std::u16string_view text, CodePage codePage) {
  std::u16string unwritable;
  std::string bytes;
  for (size_t i = 0; i < text.size();) {
    // A surrogate pair is one character.
    const size_t length = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF &&
                                  text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF
                              ? 2
                              : 1;
    const std::u16string_view character = text.substr(i, length);
    i += length;
    if (character.size() == 1 && character[0] < 0x80 && IsAsciiTransparent(codePage)) continue;
    if (unwritable.find(character) != std::u16string::npos) continue;
    if (!IcuConverterName(codePage)) return {};
    if (!EncodeFromUtf16(character, codePage, bytes)) unwritable += character;
  }
  return unwritable;
}

}  // namespace trawlscope
