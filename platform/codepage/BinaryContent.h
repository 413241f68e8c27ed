#pragma once
// Telling programs, images and archives from text before anything decodes
// them: every code page reads any bytes somehow, so a search would otherwise
// find words in them and a replace would rewrite them.
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

}  // namespace trawlscope
