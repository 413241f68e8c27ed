#pragma once
// Between the batch tool and its catalogue module (trawlscope-catalogue.so),
// which reads the language catalogue with QtCore: the table of functions
// the module exports. The desktop program links the catalogue directly.
#include <string>

#include "app/TextCatalogue.h"
#include "platform/modules/ModuleEntry.h"

namespace trawlscope {

struct CatalogueModuleTable {
  ModuleVersion version;
  // As LoadUserCatalogue (QtTextCatalogue.h).
  const ITextCatalogue* (*loadUserCatalogue)(std::string& language);
};

inline constexpr char kCatalogueModuleFile[] = "trawlscope-catalogue.so";
inline constexpr char kCatalogueModuleEntry[] = "trawlscope_catalogue_module";

}  // namespace trawlscope
