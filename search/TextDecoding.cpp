#include "search/TextDecoding.h"

#include "platform/CodePageConverter.h"
#include "platform/CodePageDetector.h"
#include "platform/FileReader.h"
#include "platform/NativePath.h"

namespace trawlscope {
CodePage DecodeDetectedBytes(std::string_view bytes, CodePage codePage, std::u16string& text,
                             bool& hadBom) {
  const ByteOrderMark mark = FindByteOrderMark(bytes);
  hadBom = mark.length > 0;
  if (!DecodeToUtf16(bytes.substr(mark.length), codePage, text)) return codepage::kNone;
  return codePage;
}

CodePage DecodeBytes(std::string_view bytes, std::u16string& text, bool& hadBom) {
  return DecodeDetectedBytes(bytes, DetectCodePage(bytes), text, hadBom);
}

CodePage DecodeFile(const AbortFlag& abortRequested, const std::u16string& path,
                    std::u16string& text, bool& hadBom) {
  text.clear();
  hadBom = false;
  std::string bytes;
  ReadWholeFile(ToNativePath(path), bytes);
  if (IsAborted(abortRequested)) return codepage::kNone;
  const CodePage codePage = DetectCodePage(bytes);
  if (IsAborted(abortRequested)) return codepage::kNone;
  return DecodeDetectedBytes(bytes, codePage, text, hadBom);
}

}  // namespace trawlscope
