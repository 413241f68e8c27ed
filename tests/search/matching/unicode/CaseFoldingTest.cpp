#include "search/matching/unicode/CaseFolding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace trawlscope {
namespace {

// The units folding to each folded unit, looked up in a table built once,
// must split all 65,536 units exactly as the fold table does.
TEST(CaseFolding, EveryUnitIsAmongTheUnitsFoldingToItsFold) {
  const FoldTable& table = CodeUnitFoldTable();
  const std::set<char16_t> folds(table.begin(), table.end());
  size_t total = 0;
  for (const char16_t folded : folds) {
    const std::u16string sources = CodeUnitsFoldingTo(folded);
    ASSERT_TRUE(std::is_sorted(sources.begin(), sources.end()));
    for (const char16_t source : sources) ASSERT_EQ(table[source], folded) << int(source);
    total += sources.size();
  }
  EXPECT_EQ(total, table.size());
  EXPECT_EQ(CodeUnitsFoldingLike(u'K'), (std::u16string{u'K', u'k', u'\u212A'}));
  EXPECT_EQ(CodeUnitsFoldingTo(u'K'), u"");  // nothing folds to the capital
  EXPECT_EQ(CodeUnitsFoldingLike(u'関'), u"関");
}

}  // namespace
}  // namespace trawlscope
