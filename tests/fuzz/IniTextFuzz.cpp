// Setting a value in arbitrary INI text: reading it back gives the value set,
// and every other line stays byte for byte, its line break included.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/IniText.h"
#include "tests/fuzz/FuzzCheck.h"

using namespace trawlscope;
using fuzz::Require;

namespace {

// Lines cut independently of the code under test: CR LF, LF or a lone CR.
struct RawLine {
  std::string_view content;
  std::string_view lineBreak;
  bool operator==(const RawLine&) const = default;
};

std::vector<RawLine> CutLines(std::string_view text) {
  std::vector<RawLine> lines;
  size_t i = 0;
  while (i < text.size()) {
    size_t end = i;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    size_t next = end;
    if (next < text.size()) next += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
    lines.push_back({text.substr(i, end - i), text.substr(end, next - end)});
    i = next;
  }
  return lines;
}

// Names as the program uses them: no blanks around them, no brackets, "=" or
// line breaks, and not starting like a comment.
std::string NameFrom(FuzzedDataProvider& input) {
  static const char* const kNames[] = {"Settings", "Filepath", "0", "Editor", "日本語", "a b"};
  if (input.ConsumeBool()) return kNames[input.ConsumeIntegralInRange<size_t>(0, std::size(kNames) - 1)];
  std::string name = input.ConsumeRandomLengthString(12);
  std::erase_if(name, [](char c) {
    return !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
  });
  return name.empty() ? "k" : name;
}

std::string WithoutLineBreaks(std::string value) {
  std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = NameFrom(input);
  const std::string key = NameFrom(input);
  const std::string value = input.ConsumeRandomLengthString(40);
  const std::string text = input.ConsumeRemainingBytesAsString();

  const bool hadKey = FindIniValue(text, section, key).has_value();
  const std::string changed = SetIniValue(text, section, key, value);
  Require(FindIniValue(changed, section, key) == WithoutLineBreaks(value), "the value set reads back");

  const auto before = CutLines(text);
  const auto after = CutLines(changed);
  if (hadKey) {
    // Only the key's own line changes, and it keeps its break.
    Require(after.size() == before.size(), "replacing a value keeps the line count");
    size_t differing = 0;
    for (size_t i = 0; i < before.size(); ++i) {
      if (before[i] == after[i]) continue;
      ++differing;
      Require(before[i].lineBreak == after[i].lineBreak, "the key's line keeps its break");
    }
    Require(differing <= 1, "at most the key's line changes");
    return 0;
  }
  // A new key, or a new section with it: one or two lines inserted in one
  // place; an unterminated last line may gain a break.
  Require(after.size() == before.size() + 1 || after.size() == before.size() + 2,
          "adding a key adds one or two lines");
  const size_t inserted = after.size() - before.size();
  size_t i = 0;
  while (i < before.size() && before[i] == after[i]) ++i;
  const auto sameButBreak = [&](size_t b, size_t a) {
    return before[b].content == after[a].content &&
           (before[b].lineBreak == after[a].lineBreak ||
            (b + 1 == before.size() && before[b].lineBreak.empty()));
  };
  if (i < before.size() && sameButBreak(i, i)) ++i;
  for (size_t k = i; k < before.size(); ++k)
    Require(sameButBreak(k, k + inserted), "the lines after the new ones are kept");
  return 0;
}
