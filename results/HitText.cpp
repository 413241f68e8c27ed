#include "results/HitText.h"

#include <unordered_set>

#include "platform/files/NativePath.h"
#include "results/HitExport.h"

namespace trawlscope {
namespace {

std::u16string Decimal(std::int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string CopiedRowsText(const HitPicks& hits) {
  std::u16string text;
  for (const Hit& hit : hits) {
    text += FlattenField(DisplayPath(hit.FullPath()));
    text += u'\t';
    text += Decimal(hit.line);
    text += u'\t';
    text += FlattenField(hit.LeftContext());
    text += u'\t';
    text += FlattenField(hit.Keyword());
    text += u'\t';
    text += FlattenField(hit.RightContext());
    text += u'\n';
  }
  return text;
}

std::u16string CopiedPathsText(const HitPicks& hits) {
  std::u16string text;
  std::unordered_set<std::u16string> seen;
  for (const Hit& hit : hits) {
    const std::u16string path = FlattenField(DisplayPath(hit.FullPath()));
    if (seen.insert(path).second) text += path + u'\n';
  }
  return text;
}

}  // namespace trawlscope
