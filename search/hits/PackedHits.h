#pragma once
// The hits of a list, 10 bytes each instead of a Hit's 48: a run may hold
// fifty million. A file's hits come one after another in ascending order, so
// hits are kept in runs: stretches of one file's hits whose line, position
// and context start lie within 16 bits of the run's first hit. The run keeps
// the file and those bases; a record keeps the offsets and the lengths. A hit
// that does not fit starts a run of its own, and one whose lengths do not fit
// keeps all its numbers, exactly, in a side table. Records lie in chunks of a
// fixed size, so a growing list never copies what it holds.
#include <cstdint>
#include <vector>

#include "search/hits/Hit.h"

namespace trawlscope {

class PackedHits {
 public:
  // Records per chunk: a chunk is 640 kB.
  static constexpr size_t kChunkBits = 16;
  static constexpr size_t kChunkSize = size_t{1} << kChunkBits;

  void Clear();
  void Append(const Hit& hit);
  // Moves the hits of `other` to the end, in their order.
  void Take(PackedHits&& other);

  size_t size() const { return size_; }
  Hit operator[](size_t i) const { return At(i, RunOf(i)); }
  const HitFile& FileOf(size_t i) const { return *runs_[RunOf(i)].file; }
  std::int64_t LineOf(size_t i) const;

  // Who reads hits in order keeps the run at hand instead of searching for
  // each hit's; a run's hits are all of one file.
  size_t RunOf(size_t i) const;
  size_t RunFirst(size_t run) const { return run < runs_.size() ? runs_[run].first : size_; }
  Hit At(size_t i, size_t run) const;
  std::int64_t LineAt(size_t i, size_t run) const;

  static constexpr size_t RecordBytes() { return sizeof(Record); }

 private:
  struct Record {
    std::uint16_t line;          // above the run's
    std::uint16_t position;      // above the run's
    std::uint16_t contextStart;  // above the run's
    std::uint16_t length;        // kWide: the hit is in wide_
    std::uint8_t leftLength;
    std::uint8_t rightLength;
  };
  static constexpr std::uint16_t kWide = 0xFFFF;

  // A hit whose lengths did not fit a record.
  struct WideHit {
    size_t index;
    std::int64_t line;
    std::int64_t position;
    std::int64_t length;
    std::uint64_t contextStart;
    std::uint32_t leftLength;
    std::uint32_t rightLength;
  };

  // Hits from `first` on, up to the next run's first, are of `file`, their
  // numbers counted from these bases.
  struct Run {
    size_t first;
    const HitFile* file;
    std::int64_t line;
    std::int64_t position;
    std::uint64_t contextStart;
  };

  void AppendRecord(const Record& record);
  const Record& RecordOf(size_t i) const { return chunks_[i >> kChunkBits][i & (kChunkSize - 1)]; }
  const WideHit& WideOf(size_t i) const;

  std::vector<std::vector<Record>> chunks_;
  std::vector<WideHit> wide_;  // in the order of their indices
  std::vector<Run> runs_;
  std::vector<size_t> chunkFirstRun_;  // the run of each chunk's first hit: a look-up searches one chunk's runs
  size_t size_ = 0;
};

}  // namespace trawlscope
