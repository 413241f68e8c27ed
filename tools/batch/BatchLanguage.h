#pragma once
// The batch tool's language, as the desktop program's (QtTextCatalogue.h),
// but with QtCore loaded only when the environment names a language that
// has a catalogue: a run in English, the most common, loads no Qt at all.

namespace trawlscope::batch {

// Installs the catalogue of the user's language, if any. When the catalogue
// module cannot be loaded, stderr says so and the words stay English.
// Call once at start-up, before other threads.
void InstallUserLanguage();

}  // namespace trawlscope::batch
