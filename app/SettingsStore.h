#pragma once
// The program's settings over the profile file, and the two rules that turn
// stored values into widgets: the combo histories and the window placement.
// UI thread only.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/HistoryCombo.h"
#include "app/PlaceableWindow.h"
#include "platform/ini/ProfileFile.h"

namespace trawlscope {

class SettingsStore {
 public:
  explicit SettingsStore(IProfileFile& file) : file_(file) {}

  // A missing key gives `defaultValue`; a value that does not start with a
  // number reads as 0. Failed writes are ignored: settings never stop the program.
  int ReadInt(std::u16string_view section, std::u16string_view key, int defaultValue) const;
  void WriteInt(std::u16string_view section, std::u16string_view key, int value);
  // Several keys of one section in one write.
  void WriteInts(std::u16string_view section, const std::vector<std::pair<std::u16string_view, int>>& values);
  std::u16string ReadString(std::u16string_view section, std::u16string_view key) const;
  void WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  // A window's frame from the keys "Top", "Bottom", "Left" and "Right".
  ScreenRect ReadRect(std::u16string_view section, const ScreenRect& defaults) const;
  void WriteRect(std::u16string_view section, const ScreenRect& rect);

  // Edit text from "EditControl", then the list from keys "0".."19" up to the first empty one.
  void LoadHistory(IHistoryCombo& combo, std::u16string_view section) const;
  // Edit text, then the first 20 entries. Keys beyond them are left as they are.
  void SaveHistory(const IHistoryCombo& combo, std::u16string_view section);

 private:
  IProfileFile& file_;
};

// Puts `newEditText` in the edit and at the head of the list, followed by
// the edit's text until now and the list as it was, most recent first, without blanks or repeats (exact
// comparison), at most settings::kHistoryEntries long.
void AddToHistory(IHistoryCombo& combo, const std::u16string& newEditText);

// Brings the rectangle to at least the minimum size and at most the
// desktop's, moves it wholly onto the desktop, and applies it.
void PlaceWindow(IPlaceableWindow& window, ScreenRect frame, int minimumWidth, int minimumHeight);

// The frame moved, keeping its size, to lie inside `area` (the desktop's free
// area); one larger than the area keeps its top-left corner, and so its title
// bar, inside it.
ScreenRect KeptOnScreen(const ScreenRect& frame, const ScreenRect& area);

}  // namespace trawlscope
