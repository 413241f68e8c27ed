#pragma once
// The hot loop of ByteFinder::LookInAscii, over the bytes of most files of a
// big tree: rounds that test at once for a byte from 0x80 up and for a
// candidate on the needle's two probe bytes. One build runs on every x86-64
// processor; the other, for processors with AVX2, takes twice the bytes an
// instruction.
#include <cstddef>

namespace trawlscope::probe_rounds {

struct Needle {
  const char* bytes;
  size_t size;  // at least 2
  size_t firstProbe;
  size_t secondProbe;
  bool asciiCaseless;
};

enum class Stop {
  HighByte,  // a byte from 0x80 up among those the first probe covered
  Found,     // an occurrence starts in the last round
  Ran,       // no round left: the rest is the caller's
};

// Candidates starting before `end` were tested, and the bytes from the first
// probe's offset up to end + firstProbe were checked for high bytes.
struct Outcome {
  Stop stop;
  size_t end;
};

// Whether `needle` sits whole at `at`.
bool MatchesAt(const Needle& needle, const char* at);

// How a block is compared with the needle's byte `k`: the block with `fold`
// set in each byte equals `wanted` where it holds the byte (a caseless
// letter in either case).
struct ProbeByte {
  char wanted;
  char fold;
};
ProbeByte ProbeByteOf(const Needle& needle, size_t k);

Outcome InBlocksOf16(const Needle& needle, const char* haystack, size_t size);

// Only where ProcessorHasAvx2() (platform/codepage/ByteScan.h). Its rounds
// are longer: `end` may differ from InBlocksOf16's, what it means does not.
Outcome InBlocksOf32(const Needle& needle, const char* haystack, size_t size);

}  // namespace trawlscope::probe_rounds
