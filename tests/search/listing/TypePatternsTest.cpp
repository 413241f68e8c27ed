#include "search/listing/TypePatterns.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

using Verdict = TypePatterns::Verdict;
constexpr Verdict kListed = Verdict::Listed;
constexpr Verdict kOther = Verdict::NotOfTheTypes;
constexpr Verdict kExcluded = Verdict::Excluded;

struct FileCase {
  const char16_t* types;
  const char16_t* name;
  Verdict verdict;
};

TEST(TypePatterns, FileNames) {
  const FileCase cases[] = {
      {u"", u"a.c", kListed},
      {u"*.c", u"a.C", kListed},
      {u"*.c", u"a.h", kOther},
      {u"*.c;*.h;*.txt", u"b.h", kListed},
      {u"*.c; *.h ;", u"b.h", kListed},
      {u"*.c;*.h", u"c.txt", kOther},
      {u"*.xml;!*.min.xml", u"a.xml", kListed},
      {u"*.xml;!*.min.xml", u"a.MIN.xml", kExcluded},
      {u"*.xml;!*.min.xml", u"a.min.js", kOther},  // not of the types: not counted as excluded
      {u"!*.log", u"a.log", kExcluded},
      {u"!*.log", u"a.txt", kListed},
      {u"!build/", u"build", kListed},             // a folder pattern says nothing of files
      {u"*.*;!node_modules/", u"x", kListed},
      {u"my file*", u"My File 2", kListed},        // one pattern keeps its spaces
      {u" *.c", u"a.c", kOther},
      {u";", u"a.c", kListed},
      {u"!", u"!", kListed},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TypePatterns(cases[i].types).ForFile(cases[i].name), cases[i].verdict);
  }
}

struct FolderCase {
  const char16_t* types;
  const char16_t* name;
  bool excluded;
  bool named;
};

TEST(TypePatterns, FolderNames) {
  const FolderCase cases[] = {
      {u"*.c", u"src", false, false},
      {u"*.c;!build/;!node_modules\\", u"Build", true, false},
      {u"*.c;!build/;!node_modules\\", u"node_modules", true, false},
      {u"*.c;!build/", u"builds", false, false},
      {u"!*-old/", u"v1-old", true, false},
      {u"src/;*.c", u"src", false, true},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const TypePatterns patterns(cases[i].types);
    EXPECT_EQ(patterns.ExcludesFolder(cases[i].name), cases[i].excluded);
    EXPECT_EQ(patterns.NamesFolder(cases[i].name), cases[i].named);
  }
}

}  // namespace
}  // namespace trawlscope
