#include "platform/codepage/conversion/UnwritablePages.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

TEST(UnwritablePages, EachPageOnceInItsFirstPlaceAndNoneForAscii) {
  const std::vector<CodePage> pages = {1252, 932, 0, 65001, 1252, 51932, 932};
  EXPECT_EQ(PagesThatCannotHold(pages, u"plain ascii"), std::vector<CodePage>{});
  EXPECT_EQ(PagesThatCannotHold(pages, u"関数"), (std::vector<CodePage>{1252}));
  EXPECT_EQ(PagesThatCannotHold(pages, u"é"), (std::vector<CodePage>{932}));  // EUC-JP holds it (JIS X 0212)
  EXPECT_EQ(PagesThatCannotHold(pages, u"é\U0001F600"), (std::vector<CodePage>{1252, 932, 51932}));
  EXPECT_EQ(CharactersSomePageCannotHold({932, 1252}, u"é関é数"), u"é関数");
}

}  // namespace
}  // namespace trawlscope
