#pragma once
// The hit list as the output file holds it: UTF-16 LE with its mark, one
// record per hit in discovery order, four TAB-separated fields ended by LF.
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/SafeFileWriter.h"
#include "search/hits/HitList.h"
#include "search/hits/HitPicks.h"

namespace trawlscope {

// Every line break (CR LF counting as one) and every TAB becomes one
// IDEOGRAPHIC SPACE, so a field stays on its line and in its column.
std::u16string FlattenField(std::u16string_view text);

// The records of all hits: file name, left context, keyword, right context.
// The name is flattened too, and bytes of it that are not text become U+FFFD:
// the file names the files, it is not for reopening them.
std::u16string ExportText(const HitList& hits);

// The program's own output file (Tabbed), or the CSV records of
// results/HitRecords with their header line, full paths in UTF-8.
enum class ExportFormat { Tabbed, Csv };

std::u16string ExportText(const HitPicks& hits);
std::string CsvBytes(const HitPicks& hits);
// Writes the hits to `path` atomically: ExportText as UTF-16 LE with its
// mark, or the CSV.
Outcome<FileIdentity> ExportHits(const HitList& hits, const std::u16string& path,
                                 ExportFormat format = ExportFormat::Tabbed);
Outcome<FileIdentity> ExportHits(const HitPicks& hits, const std::u16string& path,
                                 ExportFormat format = ExportFormat::Tabbed);

}  // namespace trawlscope
