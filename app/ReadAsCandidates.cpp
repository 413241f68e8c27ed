#include "app/ReadAsCandidates.h"

#include <algorithm>
#include <fstream>

#include "platform/codepage/detection/CodePageCandidates.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

// Enough for the detector's sample wherever the file's first non-ASCII byte
// stands in all but the rarest files, little enough to read at a click.
constexpr size_t kHeadBytes = 1u << 20;

}  // namespace

std::vector<CodePage> ReadAsCandidates(const std::u16string& path, CodePage current) {
  std::ifstream file(ToNativePath(path), std::ios::binary);
  if (!file) return {};
  std::string head(kHeadBytes, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(file.gcount()));
  std::vector<CodePage> pages = CodePageCandidates(head, kReadAsCandidates + 1);
  std::erase(pages, current);
  if (pages.size() > kReadAsCandidates) pages.resize(kReadAsCandidates);
  return pages;
}

}  // namespace trawlscope
