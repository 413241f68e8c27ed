#pragma once
// The File types pattern: "*" any run, "?" one character, letters compared by
// simple case folding, every other character literal (";", ",", " ", "[" are
// part of the pattern, not list syntax). Empty and "*.*" match every name,
// including names without a dot.
#include <string>
#include <string_view>

namespace trawlscope {

class WildcardPattern {
 public:
  explicit WildcardPattern(std::u16string_view pattern);

  bool Matches(std::u16string_view name) const;
  bool MatchesEverything() const { return matchesEverything_; }

 private:
  std::u32string folded_;
  bool matchesEverything_ = false;
};

bool HasWildcard(std::u16string_view text);

}  // namespace trawlscope
