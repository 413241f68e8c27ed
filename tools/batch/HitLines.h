#pragma once
// Reading back the hit lines the tool prints (path TAB line TAB position TAB
// length TAB keyword), so that a search piped through grep can pick the
// occurrences a replace changes.
#include <optional>
#include <string>
#include <string_view>

#include "search/SearchRequest.h"
#include "search/review/HitSelection.h"

namespace trawlscope::batch {

// The occurrences the lines name, grouped by file in the order files first
// appear. The path is read as EscapedName writes it; a line whose path holds
// an escape the tool never writes is refused. Fields past the fourth are optional; the fifth, the keyword, is
// then checked against the file, unless it holds an IDEOGRAPHIC SPACE (a
// flattened TAB or line break cannot be told from a real one). Empty lines
// are passed over. A sixth field, when not empty, is the code page the file
// is to be read in (a number or a name), put in `pages`. Nothing, with
// `error` naming the line, when a line is not a hit line.
std::optional<HitSelection> ParseHitLines(std::string_view text, std::string& error, FileCodePages& pages);

}  // namespace trawlscope::batch
