#include "app/UndoSettings.h"

#include "app/SettingsKeys.h"

namespace trawlscope {

JournalPlace UndoJournalPlace(const SettingsStore& settings, const std::string& folder) {
  JournalPlace place;
  place.folder = folder;
  place.maxRuns = settings.ReadInt(settings::kUndo, settings::kRuns, settings::kDefaultUndoRuns);
  const int megabytes = settings.ReadInt(settings::kUndo, settings::kMaxMegabytes, settings::kDefaultUndoMegabytes);
  place.maxBytes = megabytes > 0 ? static_cast<std::uint64_t>(megabytes) * kMegabyte : 0;
  if (place.maxRuns <= 0 || megabytes <= 0) place.folder.clear();
  return place;
}

}  // namespace trawlscope
