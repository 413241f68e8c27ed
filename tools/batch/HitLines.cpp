#include "HitLines.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

#include "platform/files/NativePath.h"

namespace trawlscope::batch {
namespace {

constexpr size_t kPathField = 0;
constexpr size_t kLineField = 1;
constexpr size_t kPositionField = 2;
constexpr size_t kLengthField = 3;
constexpr size_t kKeywordField = 4;
constexpr size_t kCodePageField = 5;
constexpr char16_t kIdeographicSpace = 0x3000;

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (size_t start = 0;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// Nothing when `text` is a count from `least`, then in `value`; otherwise
// what is wrong with the field `name`.
std::optional<std::string> ReadCount(std::string_view text, const char* name, std::int64_t least,
                                     std::int64_t& value) {
  const std::string field = std::string("the ") + name;
  std::uint64_t count = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, count);
  const bool digits = !text.empty() && stop == end;
  // Past 64 bits from_chars leaves the count as it was, 0: the start of the file, not the place meant.
  if (digits && (error == std::errc::result_out_of_range || count > std::numeric_limits<std::int64_t>::max()))
    return field + " is too big";
  if (!digits || count < static_cast<std::uint64_t>(least))
    return field + " is not a number" + (least > 0 ? " from " + std::to_string(least) : "");
  value = static_cast<std::int64_t>(count);
  return std::nullopt;
}

}  // namespace

std::optional<HitSelection> ParseHitLines(std::string_view text, std::string& error, FileCodePages& pages) {
  HitSelection selection;
  std::unordered_map<std::u16string, size_t> fileIndex;
  size_t lineNumber = 0;
  for (size_t start = 0; start < text.size();) {
    size_t newline = text.find('\n', start);
    if (newline == std::string_view::npos) newline = text.size();
    std::string_view line = text.substr(start, newline - start);
    start = newline + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const auto fields = Fields(line);
    const auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(lineNumber) + ": " + why;
      return std::nullopt;
    };
    if (fields.size() <= kLengthField) return fail("expected path, line, position and length separated by TABs");
    if (fields[kPathField].empty()) return fail("the path is empty");
    // A name ends at its first NUL on its way to the system: the file changed would be another.
    if (fields[kPathField].find('\0') != std::string_view::npos) return fail("the path holds a NUL byte");
    std::int64_t lineOfHit = 0;
    SelectedOccurrence occurrence;
    if (auto why = ReadCount(fields[kLineField], "line", 1, lineOfHit)) return fail(*why);
    if (auto why = ReadCount(fields[kPositionField], "position", 0, occurrence.position)) return fail(*why);
    if (auto why = ReadCount(fields[kLengthField], "length", 0, occurrence.length)) return fail(*why);
    if (fields.size() > kKeywordField) {
      std::u16string keyword = FromNativePath(fields[kKeywordField]);
      if (keyword.find(kIdeographicSpace) == std::u16string::npos &&
          keyword.size() == static_cast<size_t>(occurrence.length))
        occurrence.keyword = std::move(keyword);
      else if (keyword.find(kIdeographicSpace) == std::u16string::npos)
        return fail("the keyword is not as long as the length says");
    }
    // The name as the tool printed it: "\" is part of a name there, never a separator.
    size_t badAt = 0;
    const std::optional<std::string> name = UnescapedName(fields[kPathField], badAt);
    if (!name)
      return fail("the path's \"" + std::string(fields[kPathField].substr(badAt, 4)) +
                  "\" is no escape the tool writes: it escapes only bytes that are not UTF-8, TABs and line breaks");
    std::u16string path = FromNativeName(*name);
    if (fields.size() > kCodePageField && !fields[kCodePageField].empty()) {
      const CodePage page = CodePageOfUserText(fields[kCodePageField]);
      if (page == codepage::kNone) return fail("the code page is not one the tool reads");
      const auto [chosen, first] = pages.try_emplace(path, page);
      if (!first && chosen->second != page) return fail("the file was given another code page before");
    }
    auto [place, added] = fileIndex.try_emplace(path, selection.files.size());
    if (added) selection.files.push_back({std::move(path), std::nullopt, {}});
    selection.files[place->second].occurrences.push_back(std::move(occurrence));
  }
  for (SelectedFile& file : selection.files) {
    auto& occurrences = file.occurrences;
    std::stable_sort(occurrences.begin(), occurrences.end(),
                     [](const SelectedOccurrence& a, const SelectedOccurrence& b) {
                       return a.position != b.position ? a.position < b.position : a.length < b.length;
                     });
    occurrences.erase(std::unique(occurrences.begin(), occurrences.end(),
                                  [](const SelectedOccurrence& a, const SelectedOccurrence& b) {
                                    return a.position == b.position && a.length == b.length;
                                  }),
                      occurrences.end());
  }
  return selection;
}

}  // namespace trawlscope::batch
