// The batch tool's catalogue module, trawlscope-catalogue.so: the catalogue
// read by QtCore, so that a run in English loads no Qt.
#include "gui/catalogue/CatalogueModule.h"

#include "gui/catalogue/QtTextCatalogue.h"
#include "platform/modules/ModuleEntry.h"

namespace trawlscope {
namespace {

constexpr CatalogueModuleTable kTable{{}, LoadUserCatalogue};

}  // namespace
}  // namespace trawlscope

TRAWLSCOPE_MODULE_ENTRY trawlscope_catalogue_module() { return &trawlscope::kTable; }
