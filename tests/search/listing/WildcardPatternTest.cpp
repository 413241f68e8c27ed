#include "search/listing/WildcardPattern.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

struct Case {
  const char16_t* pattern;
  const char16_t* name;
  bool matches;
};

TEST(WildcardPattern, Table) {
  const Case cases[] = {
      {u"", u"anything", true},
      {u"*.*", u"Makefile", true},
      {u"*.*", u"a.b.c", true},
      {u"*.txt", u"notes.txt", true},
      {u"*.txt", u"NOTES.TXT", true},
      {u"*.txt", u"notes.txt.bak", false},
      {u"*.txt", u"txt", false},
      {u"?.c", u"a.c", true},
      {u"?.c", u"ab.c", false},
      {u"?.c", u"😀.c", true},
      {u"a*b*c", u"aXXbYYc", true},
      {u"a*b*c", u"aXXbYY", false},
      {u"*.txt;*.csv", u"a.txt", false},
      {u"*.txt;*.csv", u"a.txt;b.csv", true},
      {u"[ab].txt", u"a.txt", false},
      {u"[ab].txt", u"[AB].txt", true},
      {u"my file*", u"My File 2", true},
      {u"*.log", u"old.log", true},
      {u"ÄRGER*", u"ärger.md", true},
      {u"*SE", u"strasse", true},
      {u"**", u"", true},
      {u"?", u"", false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(WildcardPattern(cases[i].pattern).Matches(cases[i].name), cases[i].matches);
  }
}

TEST(WildcardPattern, BacktrackingStaysLinearEnoughOnLongNames) {
  const std::u16string name(2000, u'a');
  EXPECT_FALSE(WildcardPattern(u"*a*a*a*a*b").Matches(name));
}

}  // namespace
}  // namespace trawlscope
