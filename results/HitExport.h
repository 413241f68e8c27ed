#pragma once
// The hit list as the output file holds it: UTF-16 LE with its mark, one
// record per hit in discovery order, four TAB-separated fields ended by LF.
#include <string>
#include <string_view>

#include "platform/files/SafeFileWriter.h"
#include "search/HitList.h"

namespace trawlscope {

// Every line break (CR LF counting as one) and every TAB becomes one
// IDEOGRAPHIC SPACE, so a field stays on its line and in its column.
std::u16string FlattenField(std::u16string_view text);

// The records of all hits: file name, left context, keyword, right context.
// The name is flattened too, and bytes of it that are not text become U+FFFD:
// the file names the files, it is not for reopening them.
std::u16string ExportText(const HitList& hits);

// ExportText as the file's bytes, the mark FF FE first.
std::string ExportBytes(const HitList& hits);

// Writes ExportText to `path` as UTF-16 LE with its mark, atomically.
WriteResult ExportHits(const HitList& hits, const std::u16string& path);

}  // namespace trawlscope
