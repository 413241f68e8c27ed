#include "search/PackedHits.h"

#include <algorithm>
#include <limits>

namespace trawlscope {
namespace {

template <typename Narrow, typename Wide>
bool Fits(Wide value) {
  return value >= 0 && static_cast<std::uint64_t>(value) <= std::numeric_limits<Narrow>::max();
}

}  // namespace

void PackedHits::Clear() {
  std::vector<std::vector<Record>>().swap(chunks_);
  std::vector<WideHit>().swap(wide_);
  std::vector<Run>().swap(runs_);
  std::vector<size_t>().swap(chunkFirstRun_);
  size_ = 0;
}

void PackedHits::Append(const Hit& hit) {
  if (runs_.empty() || runs_.back().file != hit.file_) runs_.push_back({size_, hit.file_});
  Record record{static_cast<std::uint32_t>(hit.line),
                static_cast<std::uint32_t>(hit.position),
                static_cast<std::uint32_t>(hit.contextStart_),
                static_cast<std::uint16_t>(hit.length),
                static_cast<std::uint8_t>(hit.leftLength_),
                static_cast<std::uint8_t>(hit.rightLength_)};
  // The length's top value is the mark, so a length of exactly kWide is kept wide too.
  const bool fits = Fits<std::uint32_t>(hit.line) && Fits<std::uint32_t>(hit.position) &&
                    Fits<std::uint32_t>(hit.contextStart_) && Fits<std::uint16_t>(hit.length) &&
                    hit.length != kWide && Fits<std::uint8_t>(hit.leftLength_) && Fits<std::uint8_t>(hit.rightLength_);
  if (!fits) {
    wide_.push_back({size_, hit.line, hit.position, hit.length, hit.contextStart_, hit.leftLength_, hit.rightLength_});
    record.length = kWide;
  }
  AppendRecord(record);
}

void PackedHits::AppendRecord(const Record& record) {
  if (size_ % kChunkSize == 0) {
    chunks_.emplace_back();
    chunkFirstRun_.push_back(RunOf(size_));
  }
  chunks_.back().push_back(record);
  ++size_;
}

void PackedHits::Take(PackedHits&& other) {
  const size_t base = size_;
  for (const Run& run : other.runs_)
    if (runs_.empty() || runs_.back().file != run.file) runs_.push_back({base + run.first, run.file});
  for (const WideHit& hit : other.wide_) {
    wide_.push_back(hit);
    wide_.back().index += base;
  }
  for (const std::vector<Record>& chunk : other.chunks_)
    for (const Record& record : chunk) AppendRecord(record);
  other.Clear();
}

size_t PackedHits::RunOf(size_t i) const {
  const size_t chunk = i >> kChunkBits;
  const auto from = runs_.begin() + static_cast<std::ptrdiff_t>(chunk < chunkFirstRun_.size() ? chunkFirstRun_[chunk] : 0);
  const auto to = chunk + 1 < chunkFirstRun_.size()
                      ? runs_.begin() + static_cast<std::ptrdiff_t>(chunkFirstRun_[chunk + 1] + 1)
                      : runs_.end();
  const auto after = std::upper_bound(from, to, i, [](size_t index, const Run& run) { return index < run.first; });
  return static_cast<size_t>(after - runs_.begin()) - 1;
}

const PackedHits::WideHit& PackedHits::WideOf(size_t i) const {
  return *std::lower_bound(wide_.begin(), wide_.end(), i,
                           [](const WideHit& hit, size_t index) { return hit.index < index; });
}

std::int64_t PackedHits::LineOf(size_t i) const {
  const Record& record = RecordOf(i);
  return record.length == kWide ? WideOf(i).line : record.line;
}

Hit PackedHits::At(size_t i, size_t run) const {
  const Record& record = RecordOf(i);
  const HitFile& file = *runs_[run].file;
  if (record.length == kWide) {
    const WideHit& wide = WideOf(i);
    Hit hit(file, wide.contextStart, wide.leftLength, 0, wide.rightLength);
    hit.line = wide.line;
    hit.position = wide.position;
    hit.length = wide.length;
    return hit;
  }
  Hit hit(file, record.contextStart, record.leftLength, record.length, record.rightLength);
  hit.line = record.line;
  hit.position = record.position;
  return hit;
}

}  // namespace trawlscope
