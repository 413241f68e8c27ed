#pragma once
#include <cstdint>
#include <string>

namespace trawlscope {

// One occurrence of the search text. Positions and lengths count UTF-16 code
// units of the file's searchable text; 64-bit, since a text may pass 2^31 units.
struct Hit {
  std::u16string folder;        // ends with the separator
  std::u16string fileName;
  std::u16string leftContext;   // raw text: may hold CR, LF, TAB
  std::u16string keyword;       // as the file has it, not as typed
  std::u16string rightContext;
  std::int64_t line = 0;        // 1-based
  std::int64_t position = 0;    // 0-based
  std::int64_t length = 0;
  std::uint32_t codePage = 0;   // the page the file was read in; 0 when unknown

  std::u16string FullPath() const { return folder + fileName; }
};

}  // namespace trawlscope
