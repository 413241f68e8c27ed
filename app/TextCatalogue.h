#pragma once
// The seam between the words the program says and the language they are said
// in, without Qt. A text is named by its context and its English source, the
// pair Qt's catalogues (.ts/.qm) are keyed by; lupdate finds every
// TRAWLSCOPE_TEXT (it is told to read it as QT_TRANSLATE_NOOP), so a text
// marked here cannot be missing from resources/translations unseen.
#include <initializer_list>
#include <string>
#include <string_view>

namespace trawlscope {

// A message's identity: what the engine and the logic hand around instead of
// a sentence. Both pointers are string literals.
struct CatalogueText {
  const char* context;
  const char* source;  // English, UTF-8
};

// Marks an English source text for lupdate and names it for the catalogue.
#define TRAWLSCOPE_TEXT(context, source) ::trawlscope::CatalogueText{context, source}

class ITextCatalogue {
 public:
  virtual ~ITextCatalogue() = default;
  // The text in the user's language (UTF-8); empty when it has none, and
  // the English source stands. Any thread.
  virtual std::string Translate(const CatalogueText& text) const = 0;
};

// Installed once at start-up, before any other thread exists, and kept for
// the life of the process; nullptr (the default) says English.
void InstallTextCatalogue(const ITextCatalogue* catalogue);

// The text in the installed language. Any thread.
std::string WordsUtf8(const CatalogueText& text);
std::u16string Words(const CatalogueText& text);

// Puts the arguments in for %1..%9, in one pass, so that an argument that
// itself holds "%2" stays as it is. Translations may reorder the numbers.
std::u16string FillIn(std::u16string_view pattern, std::initializer_list<std::u16string_view> arguments);
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> arguments);

}  // namespace trawlscope
