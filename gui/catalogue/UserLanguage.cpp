#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/TextCatalogue.h"
#include "gui/catalogue/QtCatalogueTranslator.h"
#include "gui/catalogue/QtTextCatalogue.h"

namespace trawlscope {

std::string InstallUserLanguage() {
  std::string language;
  const ITextCatalogue* catalogue = LoadUserCatalogue(language);
  if (catalogue == nullptr) return {};
  InstallTextCatalogue(catalogue);
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::installTranslator(UserCatalogueTranslator());
    // Qt's own words (the message boxes' buttons, the file dialogs, the line
    // edits' menus) come from Qt's catalogue on disk, qt6-translations-l10n;
    // without it they stay English and the rest is still translated.
    static QTranslator qtCatalogue;
    if (qtCatalogue.load(QStringLiteral("qtbase_") + QString::fromStdString(language),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      QCoreApplication::installTranslator(&qtCatalogue);
  }
  return language;
}

}  // namespace trawlscope
