#include "search/matching/UnitSetFinder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace trawlscope {
namespace {

// The first start in [from, end) a unit at a time.
size_t FirstStart(std::u16string_view text, size_t from, size_t end, std::u16string_view first,
                  std::u16string_view second) {
  for (size_t i = from; i < end; ++i)
    if (first.find(text[i]) != std::u16string_view::npos &&
        (second.empty() || second.find(text[i + 1]) != std::u16string_view::npos))
      return i;
  return end;
}

// Sets of one unit (folding only to itself), of several, and of more than
// the blocks compare at once, in texts of every length around two blocks,
// where their units stand anywhere, alone or in the pair: the blocks find
// what a unit-by-unit walk finds.
TEST(UnitSetFinder, FindsTheFirstStartAUnitByUnitWalkFinds) {
  struct Sets {
    std::u16string first, second;
  };
  const Sets sets[] = {{u"関", u"数"}, {u"関", u""}, {u"kK\u212A", u"eE"}, {u"sS\u017F", u""},
                       {u"abcde", u"xy"}, {u"a", u"bcdef"}};
  std::mt19937 random(5);
  for (const Sets& set : sets) {
    const std::u16string units = set.first + set.second + u"z\u3042";
    for (size_t length = 1; length < 70; ++length) {
      for (int round = 0; round < 30; ++round) {
        std::u16string text(length, u'z');
        for (size_t k = 0; k < length; ++k)
          if (random() % 4 == 0) text[k] = units[random() % units.size()];
        const UnitSetFinder finder(set.first, set.second);
        const size_t end = set.second.empty() ? length : length - 1;
        for (size_t from = 0; from <= std::min<size_t>(end, 3); ++from)
          ASSERT_EQ(finder.Find(text, from, end), FirstStart(text, from, end, set.first, set.second))
              << "length " << length << ", round " << round << ", from " << from;
      }
    }
  }
}

}  // namespace
}  // namespace trawlscope
