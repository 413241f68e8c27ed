#pragma once
// Finding the code page of a file from its first bytes. The candidates come
// from two well-kept detectors, ICU's (strong on Unicode and the East Asian
// encodings) and uchardet (strong on single-byte pages), with cheap checks
// first that settle most files without either.
#include <string_view>

#include "platform/codepage/CodePageTable.h"

namespace trawlscope {

// Detection looks at no more than this many bytes, however large the file.
inline constexpr size_t kDetectionSampleBytes = 10000;

// The code page to decode `bytes` with; kNone when nothing fits. Pure ASCII
// gives UTF-8, so that any text written into it later can be held.
CodePage DetectCodePage(std::string_view bytes);
// The same for a caller that has already found the offset of the first byte
// from 0x80 up (bytes.size() when there is none), to spare a pass.
CodePage DetectCodePage(std::string_view bytes, size_t firstHighByte);

// The same for a file read in pieces, from the two parts DetectCodePage
// would look at: `head`, its first kDetectionSampleBytes (all of it when
// shorter), and `atFirstHigh`, the kDetectionSampleBytes from its first byte
// from 0x80 up (empty when it has none, or when that byte is in the head).
CodePage DetectCodePageOfParts(std::string_view head, std::string_view atFirstHigh);

// The part of the file the detectors see: its first 10000 bytes, unless those
// are all ASCII, in which case 10000 bytes from the first byte that is not
// (an English header must not hide the Japanese below it).
std::string_view DetectionSample(std::string_view bytes);
std::string_view DetectionSample(std::string_view bytes, size_t firstHighByte);

// Byte-order marks: the code page a mark stands for and its length, or kNone.
struct ByteOrderMark {
  CodePage codePage = codepage::kNone;
  size_t length = 0;
};
ByteOrderMark FindByteOrderMark(std::string_view bytes);

}  // namespace trawlscope
