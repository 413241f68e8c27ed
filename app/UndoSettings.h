#pragma once
// The undo journal as the settings file sets it up: how many replace runs it
// keeps ("[Undo] Runs", 10) and how much of their originals ("MaxMegabytes",
// 2048). Either set to 0 turns the journal off.
#include <string>

#include "app/SettingsStore.h"
#include "platform/journal/JournalFolder.h"

namespace trawlscope {

// The journal in `folder` (by default $XDG_STATE_HOME/trawlscope/undo) with
// the settings' limits; its folder is empty when the journal is off.
JournalPlace UndoJournalPlace(const SettingsStore& settings, const std::string& folder = CurrentUndoJournalFolder());

}  // namespace trawlscope
