#include "search/text/TextDecoding.h"

#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CodePageDetector.h"

namespace trawlscope {
CodePage DecodeDetectedBytes(std::string_view bytes, CodePage codePage, std::u16string& text,
                             bool& hadBom, size_t* undecodable) {
  const ByteOrderMark mark = FindByteOrderMark(bytes);
  hadBom = mark.length > 0;
  if (!DecodeToUtf16(bytes.substr(mark.length), codePage, text, undecodable)) return codepage::kNone;
  return codePage;
}

CodePage DecodeBytes(std::string_view bytes, std::u16string& text, bool& hadBom) {
  return DecodeDetectedBytes(bytes, DetectCodePage(bytes), text, hadBom);
}

}  // namespace trawlscope
