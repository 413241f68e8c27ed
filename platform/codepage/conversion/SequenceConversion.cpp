#include "platform/codepage/conversion/SequenceConversion.h"

#include <unicode/ucnv.h>

#include "platform/codepage/conversion/ConverterCache.h"

namespace trawlscope {

bool DecodeEachSequence(CodePage codePage, const std::vector<std::string>& sequences,
                        const std::function<void(size_t, char16_t)>& accept) {
  // Bytes the page does not take are left out, not replaced: what comes out
  // of a sequence is then what it truly decodes to.
  UConverter* converter = CachedConverter(codePage, InvalidBytes::Skip);
  if (converter == nullptr) return false;
  // Each sequence followed by LF: a sequence is one character when exactly
  // one unit comes from its first byte, none from the rest, and the LF after
  // it comes out alone.
  std::string source;
  std::vector<size_t> starts;
  for (const std::string& sequence : sequences) {
    starts.push_back(source.size());
    source += sequence;
    source += '\n';
  }
  std::u16string out(source.size() + 16, u'\0');
  std::vector<int32_t> offsets(out.size());
  const char* from = source.data();
  UChar* to = reinterpret_cast<UChar*>(out.data());
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(converter, &to, to + out.size(), &from, source.data() + source.size(), offsets.data(), true,
                 &status);
  if (U_FAILURE(status)) return false;
  const size_t produced = static_cast<size_t>(to - reinterpret_cast<UChar*>(out.data()));
  size_t k = 0;
  size_t separators = 0;
  for (size_t s = 0; s < sequences.size(); ++s) {
    const size_t lf = starts[s] + sequences[s].size();
    size_t fromStart = 0, fromRest = 0;
    char16_t unit = 0;
    for (; k < produced && static_cast<size_t>(offsets[k]) < lf; ++k) {
      if (static_cast<size_t>(offsets[k]) == starts[s]) {
        ++fromStart;
        unit = out[k];
      } else {
        ++fromRest;
      }
    }
    const bool lfAlone = k < produced && static_cast<size_t>(offsets[k]) == lf && out[k] == u'\n';
    if (lfAlone) {
      ++k;
      ++separators;
    }
    if (fromStart == 1 && fromRest == 0 && lfAlone) accept(s, unit);
  }
  return separators == sequences.size();
}

}  // namespace trawlscope
