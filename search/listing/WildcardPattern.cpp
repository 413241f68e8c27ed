#include "search/listing/WildcardPattern.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace trawlscope {
namespace {

std::u32string Folded(std::u16string_view text) {
  std::u32string folded;
  folded.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    UChar32 c;
    U16_NEXT(text.data(), i, text.size(), c);
    folded += static_cast<char32_t>(c < 0x80 ? ((c >= 'A' && c <= 'Z') ? c + 32 : c)
                                             : u_foldCase(c, U_FOLD_CASE_DEFAULT));
  }
  return folded;
}

}  // namespace

WildcardPattern::WildcardPattern(std::u16string_view pattern)
    : folded_(Folded(pattern)), matchesEverything_(pattern.empty() || pattern == u"*.*" ||
                                                   pattern == u"*") {}

bool WildcardPattern::Matches(std::u16string_view name) const {
  if (matchesEverything_) return true;
  const std::u32string text = Folded(name);
  const std::u32string& p = folded_;
  // Greedy scan that remembers the last "*" and retries from one character further on a mismatch.
  size_t t = 0, k = 0;
  size_t starAt = std::u32string::npos, resumeAt = 0;
  while (t < text.size()) {
    if (k < p.size() && (p[k] == U'?' || p[k] == text[t])) {
      ++t, ++k;
    } else if (k < p.size() && p[k] == U'*') {
      starAt = k++;
      resumeAt = t;
    } else if (starAt != std::u32string::npos) {
      k = starAt + 1;
      t = ++resumeAt;
    } else {
      return false;
    }
  }
  while (k < p.size() && p[k] == U'*') ++k;
  return k == p.size();
}

bool HasWildcard(std::u16string_view text) {
  return text.find_first_of(u"*?") != std::u16string_view::npos;
}

}  // namespace trawlscope
