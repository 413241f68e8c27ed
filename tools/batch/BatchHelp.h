#pragma once
// What trawlscope-batch --help prints after the synopsis: every option, the
// output formats and the exit statuses. The manual page says the same at
// length; keep the two in step. Both are in the user's language (Words).
#include "app/TextCatalogue.h"

namespace trawlscope::batch {

extern const CatalogueText kHelp;

// The one line that follows a usage error, instead of the whole help.
extern const CatalogueText kHelpHint;

}  // namespace trawlscope::batch
