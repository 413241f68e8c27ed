#include "results/HitExport.h"

#include "platform/codepage/CodePageTable.h"
#include "platform/files/NativePath.h"
#include "results/HitRecords.h"
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

namespace {

// Over a list or a few rows picked from one; a list makes its hits one at a time.
template <typename Hits>
std::u16string TabbedText(const Hits& hits) {
  std::u16string text;
  for (const Hit& hit : hits) {
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

template <typename Hits>
std::string CsvOf(const Hits& hits) {
  std::string bytes = RecordHeader(RecordFormat::Csv);
  for (const Hit& hit : hits) AppendRecord(bytes, hit, RecordPath(hit.File(), RecordFormat::Csv), RecordFormat::Csv);
  return bytes;
}

}  // namespace

std::u16string ExportText(const HitList& hits) { return TabbedText(hits); }
std::u16string ExportText(const HitPicks& hits) { return TabbedText(hits); }

std::string CsvBytes(const HitPicks& hits) { return CsvOf(hits); }

Outcome<FileIdentity> ExportHits(const HitList& hits, const std::u16string& path, ExportFormat format) {
  if (format == ExportFormat::Tabbed) return WriteTextFile(path, ExportText(hits), codepage::kUtf16Le, true);
  return WriteWholeFile(ToNativePath(path), CsvOf(hits));
}

Outcome<FileIdentity> ExportHits(const HitPicks& hits, const std::u16string& path, ExportFormat format) {
  if (format == ExportFormat::Tabbed) return WriteTextFile(path, ExportText(hits), codepage::kUtf16Le, true);
  return WriteWholeFile(ToNativePath(path), CsvBytes(hits));
}

}  // namespace trawlscope
