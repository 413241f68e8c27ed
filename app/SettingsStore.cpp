#include "app/SettingsStore.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "app/DecimalText.h"
#include "app/SettingsKeys.h"

namespace trawlscope {
namespace {

// Optional blanks, an optional sign and digits; anything else reads as 0.
int ParseLeadingInt(std::u16string_view text) {
  std::string ascii;
  for (const char16_t c : text) ascii += c < 0x80 ? static_cast<char>(c) : '?';
  const char* first = ascii.data();
  const char* last = ascii.data() + ascii.size();
  while (first != last && (*first == ' ' || *first == '\t')) ++first;
  if (first != last && *first == '+') ++first;
  long long value = 0;
  std::from_chars(first, last, value);
  return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

int SettingsStore::ReadInt(std::u16string_view section, std::u16string_view key,
                           int defaultValue) const {
  const auto value = file_.ReadString(section, key);
  return value ? ParseLeadingInt(*value) : defaultValue;
}

void SettingsStore::WriteInt(std::u16string_view section, std::u16string_view key, int value) {
  file_.WriteString(section, key, DecimalText(value));
}

void SettingsStore::WriteInts(std::u16string_view section,
                              const std::vector<std::pair<std::u16string_view, int>>& values) {
  std::vector<ProfileValue> entries;
  for (const auto& [key, value] : values) entries.push_back({std::u16string(key), DecimalText(value)});
  file_.WriteStrings(section, entries);
}

std::u16string SettingsStore::ReadString(std::u16string_view section,
                                         std::u16string_view key) const {
  return file_.ReadString(section, key).value_or(std::u16string());
}

void SettingsStore::WriteString(std::u16string_view section, std::u16string_view key,
                                std::u16string_view value) {
  file_.WriteString(section, key, value);
}

ScreenRect SettingsStore::ReadRect(std::u16string_view section, const ScreenRect& defaults) const {
  ScreenRect rect;
  rect.bottom = ReadInt(section, settings::kBottom, defaults.bottom);
  rect.right = ReadInt(section, settings::kRight, defaults.right);
  rect.top = ReadInt(section, settings::kTop, defaults.top);
  rect.left = ReadInt(section, settings::kLeft, defaults.left);
  return rect;
}

void SettingsStore::WriteRect(std::u16string_view section, const ScreenRect& rect) {
  WriteInts(section, {{settings::kTop, rect.top},
                      {settings::kBottom, rect.bottom},
                      {settings::kLeft, rect.left},
                      {settings::kRight, rect.right}});
}

void SettingsStore::LoadHistory(IHistoryCombo& combo, std::u16string_view section) const {
  combo.SetEditText(ReadString(section, settings::kEditControl));
  // A blank or repeated entry, written by an earlier version, is passed over
  // and the rest still read.
  std::vector<std::u16string> seen;
  for (int i = 0; i < settings::kHistoryEntries; ++i) {
    std::u16string entry = ReadString(section, DecimalText(i));
    if (entry.empty() || std::find(seen.begin(), seen.end(), entry) != seen.end()) continue;
    combo.AppendItem(entry);
    seen.push_back(std::move(entry));
  }
}

void SettingsStore::SaveHistory(const IHistoryCombo& combo, std::u16string_view section) {
  std::vector<ProfileValue> entries{{std::u16string(settings::kEditControl), combo.EditText()}};
  const int count = std::min(combo.ItemCount(), settings::kHistoryEntries);
  for (int i = 0; i < count; ++i) entries.push_back({DecimalText(i), combo.ItemText(i)});
  file_.WriteStrings(section, entries);
}

void AddToHistory(IHistoryCombo& combo, const std::u16string& newEditText) {
  std::vector<std::u16string> entries;
  const auto keep = [&](std::u16string entry) {
    if (!entry.empty() && entries.size() < static_cast<size_t>(settings::kHistoryEntries) &&
        std::find(entries.begin(), entries.end(), entry) == entries.end())
      entries.push_back(std::move(entry));
  };
  keep(newEditText);
  keep(combo.EditText());  // what stood in the edit until now, as a picked path replaces it
  for (int i = 0; i < combo.ItemCount(); ++i) keep(combo.ItemText(i));
  combo.ClearItems();
  combo.SetEditText(newEditText);
  for (const auto& entry : entries) combo.AppendItem(entry);
}

void PlaceWindow(IPlaceableWindow& window, ScreenRect frame, int minimumWidth, int minimumHeight) {
  // Size first: a frame stored at another scale, or on a larger screen, is
  // made to fit (never below the minimum), then moved wholly onto the screen.
  const ScreenSize screen = window.VirtualScreenSize();
  const auto fitted = [](int size, int minimum, int room) {
    return std::max(std::min(size, room), minimum);  // an inverted frame (size < 0) gets the minimum
  };
  const int width = fitted(frame.right - frame.left, minimumWidth, screen.width);
  const int height = fitted(frame.bottom - frame.top, minimumHeight, screen.height);
  const int left = std::max(0, std::min(frame.left, screen.width - width));
  const int top = std::max(0, std::min(frame.top, screen.height - height));
  window.MoveTo({left, top, left + width, top + height});
}

ScreenRect KeptOnScreen(const ScreenRect& frame, const ScreenRect& area) {
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int left = std::max(std::min(frame.left, area.right - width), area.left);
  const int top = std::max(std::min(frame.top, area.bottom - height), area.top);
  return {left, top, left + width, top + height};
}

}  // namespace trawlscope
