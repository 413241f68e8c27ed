#include "app/BoundsFields.h"

#include <string>

#include "app/BoundsInput.h"
#include "app/SettingsKeys.h"
#include "app/TextCatalogue.h"

namespace trawlscope {
namespace {

struct BoundsField {
  ControlId id;
  const char16_t* key;
  CatalogueText name;  // as the error names it
};

constexpr BoundsField kMinSize{ControlId::MinSize, settings::kMinSize,
                               TRAWLSCOPE_TEXT("BoundsFields", "Size, at least")};
constexpr BoundsField kMaxSize{ControlId::MaxSize, settings::kMaxSize,
                               TRAWLSCOPE_TEXT("BoundsFields", "Size, at most")};
constexpr BoundsField kAfter{ControlId::ModifiedAfter, settings::kModifiedAfter,
                             TRAWLSCOPE_TEXT("BoundsFields", "Modified, after")};
constexpr BoundsField kBefore{ControlId::ModifiedBefore, settings::kModifiedBefore,
                              TRAWLSCOPE_TEXT("BoundsFields", "Modified, before")};
constexpr const BoundsField* kFields[] = {&kMinSize, &kMaxSize, &kAfter, &kBefore};

// Blanks around a value are no mistake; BoundsInput reads none.
std::string Trimmed(const std::u16string& text) {
  const size_t first = text.find_first_not_of(u" \t");
  if (first == std::u16string::npos) return {};
  const size_t last = text.find_last_not_of(u" \t");
  // Every form BoundsInput reads is ASCII; anything else stays unreadable.
  std::string ascii;
  for (size_t i = first; i <= last; ++i) ascii += text[i] < 0x80 ? static_cast<char>(text[i]) : '\x7f';
  return ascii;
}

void Refuse(ISearchDialogView& view, const BoundsField& field, CatalogueText why) {
  view.ShowError(FillIn(Words(why), {Words(field.name)}));
  view.Focus(field.id);
}

template <typename Value, typename Reader>
bool ReadField(ISearchDialogView& view, const BoundsField& field, CatalogueText why, std::optional<Value>& bound,
               Reader read) {
  const std::string text = Trimmed(view.FieldText(field.id));
  if (text.empty()) return true;
  bound = read(text);
  if (!bound) Refuse(view, field, why);
  return bound.has_value();
}

}  // namespace

void LoadBoundsFields(ISearchDialogView& view, const SettingsStore& settings) {
  for (const BoundsField* field : kFields) view.SetFieldText(field->id, settings.ReadString(settings::kBounds, field->key));
}

void SaveBoundsFields(ISearchDialogView& view, SettingsStore& settings) {
  for (const BoundsField* field : kFields) settings.WriteString(settings::kBounds, field->key, view.FieldText(field->id));
}

std::optional<FileBounds> ReadBoundsFields(ISearchDialogView& view, std::int64_t now) {
  constexpr CatalogueText kBadSize = TRAWLSCOPE_TEXT(
      "BoundsFields", "\"%1\" takes a number of bytes, or one with k, M or G after it: 4096, 10k, 5M, 1G.");
  constexpr CatalogueText kBadMoment = TRAWLSCOPE_TEXT(
      "BoundsFields", "\"%1\" takes a date in local time, 2026-12-01 or 2026-12-01 10:00, or a number of days or hours back: 7d, 12h.");
  constexpr CatalogueText kNothingBetween =
      TRAWLSCOPE_TEXT("BoundsFields", "\"%1\" leaves out every file: no size or time lies between it and the other bound of its row.");
  FileBounds bounds;
  const auto size = [](const std::string& text) { return ReadSize(text); };
  const auto moment = [now](const std::string& text) { return ReadMoment(text, now); };
  if (!ReadField(view, kMinSize, kBadSize, bounds.minSize, size) ||
      !ReadField(view, kMaxSize, kBadSize, bounds.maxSize, size) ||
      !ReadField(view, kAfter, kBadMoment, bounds.modifiedFrom, moment) ||
      !ReadField(view, kBefore, kBadMoment, bounds.modifiedBefore, moment))
    return std::nullopt;
  if (bounds.minSize && bounds.maxSize && *bounds.minSize > *bounds.maxSize) {
    Refuse(view, kMinSize, kNothingBetween);
    return std::nullopt;
  }
  if (bounds.modifiedFrom && bounds.modifiedBefore && *bounds.modifiedFrom >= *bounds.modifiedBefore) {
    Refuse(view, kAfter, kNothingBetween);
    return std::nullopt;
  }
  return bounds;
}

}  // namespace trawlscope
