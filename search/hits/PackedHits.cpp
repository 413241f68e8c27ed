#include "search/hits/PackedHits.h"

#include <algorithm>
#include <limits>

namespace trawlscope {
namespace {

template <typename Narrow, typename Wide>
bool Fits(Wide value) {
  return value >= 0 && static_cast<std::uint64_t>(value) <= std::numeric_limits<Narrow>::max();
}

// `value` less `base` when it is 0 to 65535; computed unsigned so that no
// pair of 64-bit values overflows.
template <typename Number>
bool FitsAbove(Number base, Number value) {
  return value >= base && static_cast<std::uint64_t>(value) - static_cast<std::uint64_t>(base) <= 0xFFFF;
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
  // The length's top value is the mark, so a length of exactly kWide is kept wide too.
  const bool lengthsFit = Fits<std::uint16_t>(hit.length) && hit.length != kWide &&
                          Fits<std::uint8_t>(hit.leftLength_) && Fits<std::uint8_t>(hit.rightLength_);
  if (runs_.empty() || runs_.back().file != hit.file_ ||
      (lengthsFit && !(FitsAbove(runs_.back().line, hit.line) && FitsAbove(runs_.back().position, hit.position) &&
                       FitsAbove(runs_.back().contextStart, hit.contextStart_))))
    runs_.push_back({size_, hit.file_, hit.line, hit.position, hit.contextStart_});
  if (!lengthsFit) {
    wide_.push_back({size_, hit.line, hit.position, hit.length, hit.contextStart_, hit.leftLength_, hit.rightLength_});
    AppendRecord({0, 0, 0, kWide, 0, 0});
    return;
  }
  const Run& run = runs_.back();
  AppendRecord({static_cast<std::uint16_t>(hit.line - run.line), static_cast<std::uint16_t>(hit.position - run.position),
                static_cast<std::uint16_t>(hit.contextStart_ - run.contextStart), static_cast<std::uint16_t>(hit.length),
                static_cast<std::uint8_t>(hit.leftLength_), static_cast<std::uint8_t>(hit.rightLength_)});
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
  // Each of its runs stays a run: its records count from its bases.
  for (Run run : other.runs_) {
    run.first += base;
    runs_.push_back(run);
  }
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

std::int64_t PackedHits::LineOf(size_t i) const { return LineAt(i, RunOf(i)); }

std::int64_t PackedHits::LineAt(size_t i, size_t run) const {
  const Record& record = RecordOf(i);
  return record.length == kWide ? WideOf(i).line : runs_[run].line + record.line;
}

Hit PackedHits::At(size_t i, size_t run) const {
  const Record& record = RecordOf(i);
  const Run& from = runs_[run];
  const HitFile& file = *from.file;
  if (record.length == kWide) {
    const WideHit& wide = WideOf(i);
    Hit hit(file, wide.contextStart, wide.leftLength, 0, wide.rightLength);
    hit.line = wide.line;
    hit.position = wide.position;
    hit.length = wide.length;
    return hit;
  }
  Hit hit(file, from.contextStart + record.contextStart, record.leftLength, record.length, record.rightLength);
  hit.line = from.line + record.line;
  hit.position = from.position + record.position;
  return hit;
}

}  // namespace trawlscope
