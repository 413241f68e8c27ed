#include "search/review/SelectedEdits.h"

#include <algorithm>

namespace trawlscope {

SelectedEdits::SelectedEdits(const SelectedFile& file, const Matcher* matcher, MatchMode mode,
                             const std::u16string& replacementText)
    : file_(file), matcher_(matcher), mode_(mode), replacementText_(replacementText),
      found_(file.occurrences.size(), false) {}

ReplaceProblem SelectedEdits::Check(std::u16string_view text) const {
  const auto size = static_cast<std::int64_t>(text.size());
  for (const SelectedOccurrence& occurrence : file_.occurrences)
    if (occurrence.position > size || occurrence.length > size - occurrence.position)
      return ReplaceProblem::OccurrenceChanged;
  if (const ReplaceProblem problem = CheckOrder(); problem != ReplaceProblem::None) return problem;
  return CheckKeywords(text, 0);
}

ReplaceProblem SelectedEdits::CheckOrder() const {
  std::int64_t previousEnd = 0;
  for (const SelectedOccurrence& occurrence : file_.occurrences) {
    if (occurrence.position < 0 || occurrence.length < 0) return ReplaceProblem::OccurrenceChanged;
    if (occurrence.position < previousEnd) return ReplaceProblem::OccurrencesOverlap;
    previousEnd = occurrence.position + occurrence.length;
  }
  return ReplaceProblem::None;
}

ReplaceProblem SelectedEdits::CheckKeywords(std::u16string_view part, size_t start) const {
  const auto& occurrences = file_.occurrences;
  const auto from = static_cast<std::int64_t>(start);
  const auto end = from + static_cast<std::int64_t>(part.size());
  auto it = std::lower_bound(occurrences.begin(), occurrences.end(), from,
                             [](const SelectedOccurrence& o, std::int64_t p) { return o.position < p; });
  for (; it != occurrences.end() && it->position + it->length <= end; ++it) {
    if (it->keyword && part.substr(static_cast<size_t>(it->position - from), static_cast<size_t>(it->length)) !=
                           *it->keyword)
      return ReplaceProblem::OccurrenceChanged;
  }
  return ReplaceProblem::None;
}

bool SelectedEdits::AnyWithin(size_t start, size_t length) const {
  const auto& occurrences = file_.occurrences;
  const auto from = static_cast<std::int64_t>(start);
  const auto it = std::lower_bound(occurrences.begin(), occurrences.end(), from,
                                   [](const SelectedOccurrence& o, std::int64_t p) { return o.position < p; });
  return it != occurrences.end() && it->position <= from + static_cast<std::int64_t>(length);
}

std::ptrdiff_t SelectedEdits::IndexOf(size_t position, size_t length) const {
  const auto& occurrences = file_.occurrences;
  const auto at = std::lower_bound(occurrences.begin(), occurrences.end(), position,
                                   [](const SelectedOccurrence& o, size_t p) {
                                     return o.position < static_cast<std::int64_t>(p);
                                   });
  // Zero-length occurrences may share a place with the one after them.
  for (auto it = at; it != occurrences.end() && it->position == static_cast<std::int64_t>(position); ++it)
    if (it->length == static_cast<std::int64_t>(length)) return it - occurrences.begin();
  return -1;
}

Matcher::ScanEnd SelectedEdits::Collect(std::u16string_view part, size_t start, const AbortFlag& abortRequested,
                                        TextEdits& edits) {
  edits.clear();
  if (matcher_ == nullptr) {
    const auto& occurrences = file_.occurrences;
    for (size_t i = 0; i < occurrences.size(); ++i) {
      const auto position = static_cast<size_t>(occurrences[i].position);
      const auto length = static_cast<size_t>(occurrences[i].length);
      if (position < start || position + length > start + part.size()) continue;
      edits.push_back({position - start, length, replacementText_});
      found_[i] = true;
    }
    return Matcher::ScanEnd::Completed;
  }
  TextEdits all;
  const Matcher::ScanEnd end = CollectEdits(*matcher_, part, mode_, abortRequested, replacementText_, all);
  for (TextEdit& edit : all) {
    const std::ptrdiff_t index = IndexOf(start + edit.position, edit.length);
    if (index < 0) continue;
    found_[static_cast<size_t>(index)] = true;
    edits.push_back(std::move(edit));
  }
  return end;
}

bool SelectedEdits::AllFound() const { return std::all_of(found_.begin(), found_.end(), [](bool f) { return f; }); }

}  // namespace trawlscope
