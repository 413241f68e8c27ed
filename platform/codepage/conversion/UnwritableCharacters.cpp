#include "platform/codepage/conversion/UnwritableCharacters.h"

#include <algorithm>

#include "platform/codepage/conversion/CodePageConverter.h"

namespace trawlscope {

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
