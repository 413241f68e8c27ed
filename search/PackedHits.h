#pragma once
// The hits of a list, 16 bytes each instead of a Hit's 48: a run may hold
// fifty million. A file's hits come one after another, so the file is kept
// once per stretch of hits (a run of them); the numbers are kept in 32 bits
// and the lengths in 16 or 8, and the rare hit whose numbers do not fit
// keeps all of them, exactly, in a side table. Records lie in chunks of a
// fixed size, so a growing list never copies what it holds.
#include <cstdint>
#include <vector>

#include "search/Hit.h"

namespace trawlscope {

class PackedHits {
 public:
  // Records per chunk: a chunk is a megabyte.
  static constexpr size_t kChunkBits = 16;
  static constexpr size_t kChunkSize = size_t{1} << kChunkBits;

  void Clear();
  void Append(const Hit& hit);
  // Moves the hits of `other` to the end, in their order.
  void Take(PackedHits&& other);

  size_t size() const { return size_; }
  Hit operator[](size_t i) const { return At(i, RunOf(i)); }
  const HitFile& FileOf(size_t i) const { return *runs_[RunOf(i)].file; }
  // Without the search for the hit's file, for the sort by line.
  std::int64_t LineOf(size_t i) const;

  // A run is a stretch of hits of one file. Who reads hits in order keeps
  // the run at hand instead of searching for each hit's.
  size_t RunOf(size_t i) const;
  size_t RunFirst(size_t run) const { return run < runs_.size() ? runs_[run].first : size_; }
  Hit At(size_t i, size_t run) const;

  static constexpr size_t RecordBytes() { return sizeof(Record); }

 private:
  struct Record {
    std::uint32_t line;
    std::uint32_t position;
    std::uint32_t contextStart;
    std::uint16_t length;  // kWide: the hit is in wide_
    std::uint8_t leftLength;
    std::uint8_t rightLength;
  };
  static constexpr std::uint16_t kWide = 0xFFFF;

  // A hit whose numbers did not fit a record.
  struct WideHit {
    size_t index;
    std::int64_t line;
    std::int64_t position;
    std::int64_t length;
    std::uint64_t contextStart;
    std::uint32_t leftLength;
    std::uint32_t rightLength;
  };

  // Hits from `first` on, up to the next run's first, are of `file`.
  struct Run {
    size_t first;
    const HitFile* file;
  };

  void AppendRecord(const Record& record);
  const Record& RecordOf(size_t i) const { return chunks_[i >> kChunkBits][i & (kChunkSize - 1)]; }
  const WideHit& WideOf(size_t i) const;

  std::vector<std::vector<Record>> chunks_;
  std::vector<WideHit> wide_;        // in the order of their indices
  std::vector<Run> runs_;
  std::vector<size_t> chunkFirstRun_;  // the run of each chunk's first hit: a look-up searches one chunk's runs
  size_t size_ = 0;
};

}  // namespace trawlscope
