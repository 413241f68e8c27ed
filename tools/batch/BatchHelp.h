#pragma once
// What trawlscope-batch --help prints after the synopsis: every option, the
// output formats and the exit statuses. The manual page says the same at
// length; keep the two in step.

namespace trawlscope::batch {

extern const char kHelp[];

// The one line that follows a usage error, instead of the whole help.
extern const char kHelpHint[];

}  // namespace trawlscope::batch
