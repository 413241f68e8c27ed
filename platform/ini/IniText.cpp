#include "platform/ini/IniText.h"

#include <algorithm>
#include <vector>

namespace trawlscope {
namespace {

struct Line {
  size_t begin;     // first byte of the line
  size_t end;       // end of its content, before its line break
  size_t next;      // first byte of the following line
};

// CR LF, LF and a lone CR (old Mac files, some editors' "Mac" setting) all end
// a line; treating only LF as one would read a CR-only file as a single line.
std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t begin = 0;
  while (begin < text.size()) {
    const size_t end = std::min(text.find_first_of("\r\n", begin), text.size());
    size_t next = end;
    if (next < text.size()) next += text.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    lines.push_back({begin, end, next});
    begin = next;
  }
  return lines;
}

std::string_view LineBreakOf(std::string_view text, const Line& line) {
  return text.substr(line.end, line.next - line.end);
}

// The break a new line gets when the one before it has none: the file's own,
// as its first line shows it.
std::string_view FileLineBreak(std::string_view text, const std::vector<Line>& lines) {
  if (lines.empty() || lines.front().next == lines.front().end) return "\n";
  return LineBreakOf(text, lines.front());
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Section and key names compare without regard to ASCII case, as INI readers do.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::optional<std::string_view> SectionNameOf(std::string_view content) {
  content = Trim(content);
  if (content.empty() || content.front() != '[') return std::nullopt;
  const size_t close = content.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(content.substr(1, close - 1));
}

struct Entry {
  std::string_view key;
  std::string_view rawValue;
};

std::optional<Entry> EntryOf(std::string_view content) {
  const std::string_view trimmed = Trim(content);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#' ||
      trimmed.front() == '[')
    return std::nullopt;
  const size_t equals = content.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Entry{Trim(content.substr(0, equals)), content.substr(equals + 1)};
}

std::string DecodeValue(std::string_view raw) {
  raw = Trim(raw);
  if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') raw = raw.substr(1, raw.size() - 2);
  return std::string(raw);
}

// The lines [first, last) of `section`'s body, or nothing when it is absent.
struct SectionSpan {
  size_t header;
  size_t first;
  size_t last;
};

std::optional<SectionSpan> FindSection(std::string_view text, const std::vector<Line>& lines,
                                       std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionNameOf(text.substr(lines[i].begin, lines[i].end - lines[i].begin));
    if (!name || !SameName(*name, section)) continue;
    size_t last = i + 1;
    while (last < lines.size() &&
           !SectionNameOf(text.substr(lines[last].begin, lines[last].end - lines[last].begin)))
      ++last;
    return SectionSpan{i, i + 1, last};
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
  const auto lines = SplitLines(text);
  const auto span = FindSection(text, lines, section);
  if (!span) return std::nullopt;
  for (size_t i = span->first; i < span->last; ++i) {
    const auto entry = EntryOf(text.substr(lines[i].begin, lines[i].end - lines[i].begin));
    if (entry && SameName(entry->key, key)) return DecodeValue(entry->rawValue);
  }
  return std::nullopt;
}

std::string EncodeIniValue(std::string_view value) {
  std::string flat;
  flat.reserve(value.size());
  for (const char c : value)
    if (c != '\r' && c != '\n') flat += c;
  const std::string_view trimmed = Trim(flat);
  const bool quotedAlready = flat.size() >= 2 && flat.front() == '"' && flat.back() == '"';
  if (trimmed.size() != flat.size() || quotedAlready) return '"' + flat + '"';
  return flat;
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::string entryLine = std::string(key) + "=" + EncodeIniValue(value);
  const auto lines = SplitLines(text);
  const std::string_view fileBreak = FileLineBreak(text, lines);
  const auto span = FindSection(text, lines, section);
  std::string out;
  out.reserve(text.size() + entryLine.size() + section.size() + 8);

  if (!span) {
    out.append(text);
    if (!lines.empty() && lines.back().next == lines.back().end) out += fileBreak;
    out += "[" + std::string(section) + "]";
    out += fileBreak;
    out += entryLine;
    out += fileBreak;
    return out;
  }
  for (size_t i = span->first; i < span->last; ++i) {
    const auto entry = EntryOf(text.substr(lines[i].begin, lines[i].end - lines[i].begin));
    if (!entry || !SameName(entry->key, key)) continue;
    out.append(text.substr(0, lines[i].begin));
    out += entryLine;
    out.append(text.substr(lines[i].end));
    return out;
  }
  // A new key goes after the section's last non-blank line, before any blank
  // lines that separate it from the next section. It takes that line's break,
  // so that in a file of mixed breaks a CR of ours never meets a following LF
  // and joins it into one CR LF, swallowing a blank line.
  size_t after = span->header;
  for (size_t i = span->first; i < span->last; ++i)
    if (!Trim(text.substr(lines[i].begin, lines[i].end - lines[i].begin)).empty()) after = i;
  const Line& anchor = lines[after];
  const std::string_view anchorBreak = LineBreakOf(text, anchor);
  const std::string_view newBreak = anchorBreak.empty() ? fileBreak : anchorBreak;
  out.append(text.substr(0, anchor.next));
  if (anchorBreak.empty()) out += newBreak;  // the last line had no line break
  out += entryLine;
  out += newBreak;
  out.append(text.substr(anchor.next));
  return out;
}

}  // namespace trawlscope
