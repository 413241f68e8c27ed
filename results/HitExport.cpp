#include "results/HitExport.h"

#include "platform/codepage/CodePageTable.h"
#include "platform/files/NativePath.h"
#include "search/text/TextFileWriter.h"

namespace trawlscope {

namespace {
constexpr char16_t kIdeographicSpace = u'\x3000';
}

std::u16string FlattenField(std::u16string_view text) {
  std::u16string flat;
  flat.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      flat += kIdeographicSpace;
      ++i;
    } else if (c == u'\r' || c == u'\n' || c == u'\t') {
      flat += kIdeographicSpace;
    } else {
      flat += c;
    }
  }
  return flat;
}

std::u16string ExportText(const HitList& hits) {
  std::u16string text;
  for (const auto& hit : hits) {
    text += FlattenField(DisplayPath(hit.FileName()));
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

std::string ExportBytes(const HitList& hits) {
  // UTF-16 LE carries every code unit, so this always has a value.
  return *TextFileBytes(ExportText(hits), codepage::kUtf16Le, true);
}

WriteResult ExportHits(const HitList& hits, const std::u16string& path) {
  return WriteTextFile(path, ExportText(hits), codepage::kUtf16Le, true);
}

}  // namespace trawlscope
