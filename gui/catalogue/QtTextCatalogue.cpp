#include "gui/catalogue/QtTextCatalogue.h"
#include "gui/catalogue/QtCatalogueTranslator.h"

#include <QFile>
#include <QLocale>
#include <QTranslator>

#include "app/TextCatalogue.h"

namespace trawlscope {
namespace {

// Where CMake embeds the .qm files (gui/CMakeLists.txt).
constexpr char kCatalogueFolder[] = ":/translations/";
constexpr char kCataloguePrefix[] = "trawlscope_";

// The translator is asked directly rather than through
// QCoreApplication::translate, so that the batch tool needs no application
// object; QTranslator::translate only reads, so any thread may ask.
class QtTextCatalogue final : public ITextCatalogue {
 public:
  std::string Translate(const CatalogueText& text) const override {
    return translator.translate(text.context, text.source).toStdString();
  }
  QTranslator translator;
};

QString CataloguePath(const std::string& language) {
  return QString::fromLatin1(kCatalogueFolder) + QString::fromLatin1(kCataloguePrefix) +
         QString::fromStdString(language) + QStringLiteral(".qm");
}

// "ja-JP", "ja_JP.UTF-8" -> "ja"; "C", "POSIX" -> "en": the language alone.
std::string LanguageOf(const std::string& name) {
  const std::string language = name.substr(0, name.find_first_of("-_.@"));
  if (language == "C" || language == "POSIX" || language.empty()) return "en";
  return QString::fromStdString(language).toLower().toStdString();
}

}  // namespace

std::string ChooseLanguage(const std::vector<std::string>& preferred) {
  for (const std::string& name : preferred) {
    const std::string language = LanguageOf(name);
    if (language == "en") return {};
    if (QFile::exists(CataloguePath(language))) return language;
  }
  return {};
}

namespace {

// Lives as long as the process, as the installed catalogue must.
QtTextCatalogue& TheCatalogue() {
  static QtTextCatalogue catalogue;
  return catalogue;
}

}  // namespace

const ITextCatalogue* LoadUserCatalogue(std::string& language) {
  std::vector<std::string> preferred;
  for (const QString& name : QLocale::system().uiLanguages()) preferred.push_back(name.toStdString());
  language = ChooseLanguage(preferred);
  if (language.empty()) return nullptr;
  if (!TheCatalogue().translator.load(CataloguePath(language))) {
    language.clear();
    return nullptr;
  }
  return &TheCatalogue();
}

QTranslator* UserCatalogueTranslator() { return &TheCatalogue().translator; }

}  // namespace trawlscope
