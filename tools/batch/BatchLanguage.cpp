#include "BatchLanguage.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/OutcomeText.h"
#include "app/TextCatalogue.h"
#include "gui/catalogue/CatalogueModule.h"
#include "platform/modules/OptionalModule.h"

namespace trawlscope::batch {
namespace {

// The languages resources/translations has catalogues for, separated by spaces.
constexpr std::string_view kCatalogueLanguages = TRAWLSCOPE_CATALOGUE_LANGUAGES;

// Whether `name` ("ja_JP.UTF-8", "ja-JP") is in a language with a catalogue.
bool HasCatalogue(std::string_view name) {
  std::string language(name.substr(0, name.find_first_of("-_.@")));
  for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (language.empty()) return false;
  for (size_t at = 0; at < kCatalogueLanguages.size();) {
    const size_t end = std::min(kCatalogueLanguages.find(' ', at), kCatalogueLanguages.size());
    if (kCatalogueLanguages.substr(at, end - at) == language) return true;
    at = end + 1;
  }
  return false;
}

// Qt takes the user's languages from these variables and nothing else, so
// when none names a language with a catalogue, Qt would choose English.
bool MayWantCatalogue() {
  for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr) continue;
    const std::string_view names(value);
    for (size_t at = 0; at <= names.size();) {
      const size_t end = std::min(names.find(':', at), names.size());
      if (HasCatalogue(names.substr(at, end - at))) return true;
      at = end + 1;
    }
  }
  return false;
}

}  // namespace

void InstallUserLanguage() {
  if (!MayWantCatalogue()) return;
  static OptionalModule module(kCatalogueModuleFile, kCatalogueModuleEntry);
  const auto* table = static_cast<const CatalogueModuleTable*>(module.Table());
  if (table == nullptr) {
    // No catalogue to say it in: English, with the loader's own words.
    std::fprintf(stderr, "trawlscope-batch: the language catalogue could not be loaded, so messages are in English: %s\n",
                 ModuleProblemText(module.Problem()).c_str());
    return;
  }
  std::string language;
  if (const ITextCatalogue* catalogue = table->loadUserCatalogue(language)) InstallTextCatalogue(catalogue);
}

}  // namespace trawlscope::batch
