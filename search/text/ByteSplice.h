#pragma once
// Writing a text's edits into the file's original bytes: every byte outside
// the occurrences stays exactly as it was.
#include <string>
#include <string_view>

#include "platform/codepage/CodePageTable.h"
#include "search/text/ReplaceProblem.h"
#include "search/text/TextEdits.h"

namespace trawlscope {

struct SpliceResult {
  bool done = false;
  std::string bytes;  // the new content, mark included, when done
  ReplaceProblem problem = ReplaceProblem::None;  // why the file must stay as it is
  char32_t character = 0;  // CodePageCannotHold: the first character the page cannot carry
};

// `bytes` is the whole file, whose first `markLength` bytes are its mark and
// whose rest decodes with `codePage` to `text`. Stateless pages are spliced;
// stateful ones (ISO-2022, HZ, UTF-7) are re-encoded whole only when
// re-encoding the old text gives back the old bytes exactly. Fails when an
// edit begins or ends inside a character (a surrogate pair included), when a
// replacement holds a character the page cannot carry, or when the result
// would not decode to the edited text.
SpliceResult SpliceEdits(std::string_view bytes, size_t markLength, CodePage codePage,
                         std::u16string_view text, const TextEdits& edits);

}  // namespace trawlscope
