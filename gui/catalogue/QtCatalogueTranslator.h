#pragma once
// The translator behind the catalogue LoadUserCatalogue loaded, for Qt's own
// tr(). Only after LoadUserCatalogue gave a catalogue.
class QTranslator;

namespace trawlscope {

QTranslator* UserCatalogueTranslator();

}  // namespace trawlscope
