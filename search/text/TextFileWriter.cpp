#include "search/text/TextFileWriter.h"

#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

std::string_view MarkFor(CodePage codePage) {
  switch (codePage) {
    case codepage::kUtf8: return "\xEF\xBB\xBF";
    case codepage::kUtf16Le: return "\xFF\xFE";
    case codepage::kUtf16Be: return "\xFE\xFF";
    default: return {};
  }
}

}  // namespace

std::optional<std::string> TextFileBytes(std::u16string_view text, CodePage codePage, bool withMark) {
  std::string encoded;
  if (!EncodeFromUtf16(text, codePage, encoded)) return std::nullopt;
  return std::string(withMark ? MarkFor(codePage) : std::string_view()) + encoded;
}

Outcome<FileIdentity> WriteTextFile(const std::u16string& path, std::u16string_view text, CodePage codePage,
                                    bool withMark) {
  const auto bytes = TextFileBytes(text, codePage, withMark);
  if (!bytes) return FileError::System(FileStep::Encode, 0);
  return WriteWholeFile(ToNativePath(path), *bytes);
}

}  // namespace trawlscope
