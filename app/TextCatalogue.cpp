#include "app/TextCatalogue.h"

#include <vector>

#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

// Written once before any other thread starts, read only afterwards.
const ITextCatalogue* installed = nullptr;

template <typename Char>
std::basic_string<Char> FillInAny(std::basic_string_view<Char> pattern,
                                  std::initializer_list<std::basic_string_view<Char>> arguments) {
  const std::vector<std::basic_string_view<Char>> list(arguments);
  std::basic_string<Char> text;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const bool marker = pattern[i] == Char('%') && i + 1 < pattern.size() && pattern[i + 1] >= Char('1') &&
                        pattern[i + 1] <= Char('9');
    const size_t index = marker ? static_cast<size_t>(pattern[i + 1] - Char('1')) : list.size();
    if (index < list.size()) {
      text += list[index];
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

}  // namespace

void InstallTextCatalogue(const ITextCatalogue* catalogue) { installed = catalogue; }

std::string WordsUtf8(const CatalogueText& text) {
  if (installed != nullptr) {
    std::string translated = installed->Translate(text);
    if (!translated.empty()) return translated;
  }
  return text.source;
}

std::u16string Words(const CatalogueText& text) { return FromNativePath(WordsUtf8(text)); }

std::u16string FillIn(std::u16string_view pattern, std::initializer_list<std::u16string_view> arguments) {
  return FillInAny(pattern, arguments);
}

std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
  return FillInAny(pattern, arguments);
}

}  // namespace trawlscope
