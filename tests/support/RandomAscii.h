#pragma once
// Random ASCII texts for the byte scans' tests, and the plain answers they
// are checked against.
#include <random>
#include <string>
#include <string_view>

namespace trawlscope::test {

inline std::string AsciiLowered(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c;
  return text;
}

// `length` bytes drawn from `alphabet`.
inline std::string RandomText(std::mt19937& random, size_t length, std::string_view alphabet) {
  std::string text(length, '\0');
  for (char& c : text) c = alphabet[random() % alphabet.size()];
  return text;
}

// Fewer than `bound` bytes from `alphabet`; one time in three, one of them
// becomes 0xE9, a byte from 0x80 up.
inline std::string RandomHaystack(std::mt19937& random, size_t bound, std::string_view alphabet) {
  std::string haystack = RandomText(random, random() % bound, alphabet);
  if (!haystack.empty() && random() % 3 == 0) haystack[random() % haystack.size()] = '\xE9';
  return haystack;
}

inline size_t FindFirst(const std::string& haystack, const std::string& needle, bool caseless, size_t from = 0) {
  return caseless ? AsciiLowered(haystack).find(AsciiLowered(needle), from) : haystack.find(needle, from);
}

}  // namespace trawlscope::test
