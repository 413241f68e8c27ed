#pragma once
// The texts the result list hands out about its rows: what the clipboard gets.
// Fields are flattened as in the output file, so a pasted row stays one line
// with its fields in their columns. (A row's tooltip has words in it, so the
// list's model words it in the user's language: gui/list/KwicModel.)
#include <string>
#include <vector>

#include "search/hits/Hit.h"
#include "search/hits/HitPicks.h"

namespace trawlscope {

// One line per hit, LF-ended: full path, line, left context, keyword, right
// context, TAB-separated.
std::u16string CopiedRowsText(const HitPicks& hits);

// One full path per line, LF-ended, each once, in the hits' order.
std::u16string CopiedPathsText(const HitPicks& hits);

}  // namespace trawlscope
