#pragma once
// The main dialog's "Size" and "Modified" fields: kept in the settings as
// typed (so that "7d" stays a span back from each search), and read into the
// bounds of a run. UI thread only.
#include <cstdint>
#include <optional>

#include "app/SearchDialogView.h"
#include "app/SettingsStore.h"
#include "search/listing/FileBounds.h"

namespace trawlscope {

void LoadBoundsFields(ISearchDialogView& view, const SettingsStore& settings);
void SaveBoundsFields(ISearchDialogView& view, SettingsStore& settings);

// The bounds the four fields ask for, spans counted back from `now`. Nothing,
// having named the field and put the focus in it, when one holds what
// cannot be read or the two of a row leave nothing between them.
std::optional<FileBounds> ReadBoundsFields(ISearchDialogView& view, std::int64_t now);

}  // namespace trawlscope
