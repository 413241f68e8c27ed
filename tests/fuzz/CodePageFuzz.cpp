// Detection and decoding of arbitrary bytes, as every file's first read does.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/fuzz/FuzzCheck.h"
#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "search/text/TextDecoding.h"

using namespace trawlscope;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::string_view sample = DetectionSample(bytes);
  Require(sample.size() <= kDetectionSampleBytes, "the sample stays within its size");
  Require(sample.empty() || (sample.data() >= bytes.data() &&
                             sample.data() + sample.size() <= bytes.data() + bytes.size()),
          "the sample lies within the bytes");

  const ByteOrderMark mark = FindByteOrderMark(bytes);
  Require(mark.length <= bytes.size(), "a mark lies within the bytes");
  Require((mark.length == 0) == (mark.codePage == codepage::kNone), "a mark has a code page");

  std::u16string text;
  bool hadBom = false;
  const CodePage detected = DecodeBytes(bytes, text, hadBom);
  Require(detected != codepage::kNone || text.empty(), "no code page, no text");
  Require(hadBom == (mark.length > 0), "the mark is reported as found");
  if (detected != codepage::kNone) {
    Require(detected == DetectCodePage(bytes), "detection is repeatable");
    std::u16string again;
    bool againBom = false;
    DecodeDetectedBytes(bytes, detected, again, againBom);
    Require(again == text, "decoding is repeatable");
  }

  // The decoders the detector can choose, each over the same bytes.
  for (const CodePage page : {codepage::kUtf8, codepage::kShiftJis, codepage::kEucJp,
                              codepage::kIso2022Jp, codepage::kUtf16Le, codepage::kUtf16Be,
                              codepage::kGb18030, codepage::kHz, CodePage{1252}}) {
    std::u16string decoded;
    Require(DecodeToUtf16(bytes, page, decoded), "every listed page has a converter");
  }
  return 0;
}
