#pragma once
// Telling programs, images and archives from text before anything decodes
// them: every code page reads any bytes somehow, so a search would otherwise
// find words in them and a replace would rewrite them.
#include <cstddef>
#include <string_view>

namespace trawlscope {

// Whether the file whose bytes these are should be left alone as binary.
// Judges the first kDetectionSampleBytes only (a prefix, not DetectionSample:
// binary formats show themselves in their headers, and the prefix needs no
// scan of the rest of the file). The bytes are text when some reading of them,
// byte by byte or as UTF-16 or UTF-32 of either byte order (with or without a
// mark), gives characters with few stray controls or broken sequences; runs
// of NUL at either edge of the prefix, or long ones anywhere, count as
// padding. The NULs of a file it passes are that padding, which decodes to
// U+0000 and is written back unchanged, or part of UTF-16 or UTF-32 text,
// which DetectCodePage also tells by where the zero bytes fall. Empty is
// text. Any thread; allocates nothing.
bool IsBinaryContent(std::string_view bytes);

namespace binary_content {

// The byte reading of a sample without NUL bytes, which almost every file
// is: the bulk, a block at a time, counts its stray controls up to `end`,
// or stops with `nul` at a NUL.
struct ByteRounds {
  bool nul;
  size_t strays;
  size_t end;
};
ByteRounds InBlocksOf16(const unsigned char* bytes, size_t size);
// Only where ProcessorHasAvx2(); its rounds are longer.
ByteRounds InBlocksOf32(const unsigned char* bytes, size_t size);

// Whether the sample is NUL-free byte text with few enough strays (then
// text, whatever the other readings say), over either width, for tests of
// both on one processor.
bool NulFreeBytesReadAsTextBy(ByteRounds (*rounds)(const unsigned char*, size_t), std::string_view sample);

}  // namespace binary_content

}  // namespace trawlscope
