#include "search/matching/expression/ExpressionStateLimit.h"

#include <boost/regex/config.hpp>

#include <algorithm>
#include <limits>

namespace trawlscope {
namespace {

// Boost's own ceiling: two below the largest count, so that the state
// counter can pass the limit without overflowing.
constexpr std::ptrdiff_t kUnlimited = std::numeric_limits<std::ptrdiff_t>::max() - 2;
constexpr std::ptrdiff_t kQuadraticCap = BOOST_REGEX_MAX_STATE_COUNT;
// The head room Boost adds to either term, for tiny texts and expressions.
constexpr std::ptrdiff_t kSlack = 100000;

std::ptrdiff_t Times(std::ptrdiff_t a, std::ptrdiff_t b) {
  return b > kUnlimited / a ? kUnlimited : a * b;
}

std::ptrdiff_t Plus(std::ptrdiff_t a, std::ptrdiff_t b) {
  return a > kUnlimited - b ? kUnlimited : a + b;
}

}  // namespace

std::ptrdiff_t ExpressionStateLimit(std::ptrdiff_t textLength, std::ptrdiff_t expressionLength) {
  const std::ptrdiff_t n = std::max<std::ptrdiff_t>(textLength, 1);
  const std::ptrdiff_t s = std::max<std::ptrdiff_t>(expressionLength, 1);
  const std::ptrdiff_t linear = Plus(Times(n, Times(s, s)), kSlack);
  const std::ptrdiff_t quadratic = std::min(Plus(Times(n, n), kSlack), kQuadraticCap);
  return std::max(linear, quadratic);
}

}  // namespace trawlscope

namespace trawlscope {
namespace {

constinit thread_local std::ptrdiff_t wholeTextLength = 0;  // 0: no scope

}  // namespace

WholeTextStateLimit::WholeTextStateLimit() { wholeTextLength = 0; }

WholeTextStateLimit::~WholeTextStateLimit() { wholeTextLength = 0; }

void WholeTextStateLimit::SearchFrom(std::ptrdiff_t unitsToTheEnd) {
  wholeTextLength = std::max<std::ptrdiff_t>(unitsToTheEnd, 1);
}

std::ptrdiff_t WholeTextStateLimit::LimitedLength(std::ptrdiff_t searchedLength) {
  return wholeTextLength > 0 ? wholeTextLength : searchedLength;
}

}  // namespace trawlscope
