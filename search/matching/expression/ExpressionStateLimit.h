#pragma once
// How many states one search of an expression may visit before the scan
// gives up on the text as too complex.
#include <cstddef>

namespace trawlscope {

// Boost.Regex's own rule: the greater of N·S² and N² (the latter capped at
// the library's fixed maximum), N the text's length and S the expression's.
// Boost computes it itself only for random-access text, and when N² overflows
// (texts past about 3·10⁹ units) it drops to the bare cap, fewer states than
// one plain pass over such a text takes, so a 3 GiB file was "too complex"
// for any expression that found no early hit. Here the terms saturate.
// For text walked as code points the caller passes the UTF-16 length.
std::ptrdiff_t ExpressionStateLimit(std::ptrdiff_t textLength, std::ptrdiff_t expressionLength);

}  // namespace trawlscope

namespace trawlscope {

// A scan that hands the library chosen stretches of a text must give up
// where a search from the same point to the text's end would, not earlier
// for a short stretch. Within the scope, the limit takes its length from
// SearchFrom instead of from the stretch. One scope per thread at a time.
class WholeTextStateLimit {
 public:
  WholeTextStateLimit();
  ~WholeTextStateLimit();
  WholeTextStateLimit(const WholeTextStateLimit&) = delete;
  WholeTextStateLimit& operator=(const WholeTextStateLimit&) = delete;

  void SearchFrom(std::ptrdiff_t unitsToTheEnd);

  // The length the limit is to count for a search of `searchedLength` units.
  static std::ptrdiff_t LimitedLength(std::ptrdiff_t searchedLength);
};

}  // namespace trawlscope
