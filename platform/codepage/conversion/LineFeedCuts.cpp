#include "platform/codepage/conversion/LineFeedCuts.h"

#include "platform/codepage/conversion/CodePageConverter.h"

namespace trawlscope {

bool CutsAfterLineFeeds(CodePage codePage) {
  return codePage == codepage::kUtf16Le || codePage == codepage::kUtf16Be || IsAsciiTransparent(codePage);
}

size_t UpToLastLineFeed(std::string_view bytes, CodePage codePage) {
  if (codePage != codepage::kUtf16Le && codePage != codepage::kUtf16Be) {
    const size_t feed = bytes.rfind('\n');
    return feed == std::string_view::npos ? 0 : feed + 1;
  }
  const char low = codePage == codepage::kUtf16Le ? '\n' : '\0';
  const char high = codePage == codepage::kUtf16Le ? '\0' : '\n';
  for (size_t end = bytes.size() & ~size_t{1}; end >= 2; end -= 2)
    if (bytes[end - 2] == low && bytes[end - 1] == high) return end;
  return 0;
}

}  // namespace trawlscope
