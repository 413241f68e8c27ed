#include "search/matching/RawPrefilter.h"

#include <gtest/gtest.h>

#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::Transcode;

bool MayContain(const std::u16string& expression, bool caseSensitive, const std::string& bytes,
                CodePage codePage) {
  const Matcher matcher(expression, caseSensitive);
  RawPrefilter prefilter(matcher, MatchMode::RegularExpression);
  return prefilter.MayContain(bytes, codePage);
}

// An expression's file is skipped only when none of the literals one of
// its matches needs is in the bytes, in the file's own encoding.
TEST(RawPrefilter, ExpressionFilesWithoutARequiredLiteralAreSkipped) {
  EXPECT_FALSE(MayContain(u"[A-Z][a-z]+_[a-z]+", true, "int Foo;\nBar baz;\n", codepage::kUtf8));
  EXPECT_TRUE(MayContain(u"[A-Z][a-z]+_[a-z]+", true, "x_y", codepage::kUtf8));
  EXPECT_FALSE(MayContain(u"todo|fixme", true, "TODO FIXME", codepage::kUtf8));
  EXPECT_TRUE(MayContain(u"todo|fixme", false, "a FixMe here", codepage::kUtf8));
  EXPECT_TRUE(MayContain(u"(?i)todo|fixme", true, "ToDo", codepage::kUtf8));
  const std::string utf16 = Transcode("a fixme in UTF-16", "UTF-16LE");
  EXPECT_TRUE(MayContain(u"todo|fixme", true, utf16, codepage::kUtf16Le));
  EXPECT_FALSE(MayContain(u"todo|fixme", true, Transcode("neither", "UTF-16LE"), codepage::kUtf16Le));
  // KELVIN SIGN folds to "k": a caseless "k" may hide behind it.
  EXPECT_TRUE(MayContain(u"(?i)kelvin", true, "300 \xE2\x84\xAA" "elvin", codepage::kUtf8));
  // Without facts every file is searched.
  EXPECT_TRUE(MayContain(u"\\w+", true, "", codepage::kUtf8));
  EXPECT_TRUE(MayContain(u"\\p{Han}x", true, "", codepage::kUtf8));
}

}  // namespace
}  // namespace trawlscope
