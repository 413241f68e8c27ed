#pragma once
// The common case of a source tree settled in one pass: a file whose sample
// is nothing but printable ASCII, tabs and line breaks is text, and UTF-8,
// whatever the binary check and the detector would go on to weigh.
#include <cstddef>
#include <string_view>

namespace trawlscope {

// True when every byte of the file's first kDetectionSampleBytes (`sample`)
// is printable ASCII or one of the layout controls BS, TAB, LF, VT, FF, CR,
// SO and SI, and the sample does not hold both "~{" and "~}", HZ's shifts
// into GB2312. When the rest of the file holds no byte from 0x80 up either,
// IsBinaryContent is false and DetectCodePage gives UTF-8 for it.
bool IsPlainAsciiSample(std::string_view sample);

namespace plain_ascii {

// The bulk of the look, a block at a time: whether the bytes up to `end`
// are all plain, and whether a "~" is among them.
struct Rounds {
  bool plain;
  bool tilde;
  size_t end;
};
Rounds InBlocksOf16(const unsigned char* bytes, size_t size);
// Only where ProcessorHasAvx2(); its rounds are longer.
Rounds InBlocksOf32(const unsigned char* bytes, size_t size);

// The whole look over either width, for tests of both on one processor.
bool IsPlainAsciiSampleBy(Rounds (*rounds)(const unsigned char*, size_t), std::string_view sample);

}  // namespace plain_ascii
}  // namespace trawlscope
