#pragma once
// The hits of a run in discovery order, with the records of the files they
// are in. A run's committer appends; while a run goes on other threads may
// call only Count().
#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "search/Hit.h"

namespace trawlscope {

class HitList {
 public:
  HitList() = default;
  HitList(const HitList&) = delete;
  HitList& operator=(const HitList&) = delete;

  // Gives the memory of the last run back.
  void Clear();

  // A new file record; hits that point at it may then be appended. Its
  // address never changes, also when the list is taken by another.
  HitFile& AddFile(std::u16string folder, std::u16string fileName, CodePage codePage);
  void Append(const Hit& hit);

  // One hit with a file record and texts of its own: for lists made by hand
  // (tests, benchmarks). `folder` ends with the separator.
  void AppendStandalone(std::u16string folder, std::u16string fileName, std::u16string_view left,
                        std::u16string_view keyword, std::u16string_view right, std::int64_t line,
                        std::int64_t position);

  // Moves every hit and file of `other` to the end, in their order.
  void Take(HitList&& other);

  // Puts the hits of `fresh` where the hits of `file` stand (at the end when
  // it has none here), in their order: a file searched again. The rest keep
  // their order; references to hits are no longer valid.
  void ReplaceFileHits(const HitFile& file, HitList&& fresh);

  // Drops every hit but those of the file at `path` (folder and name).
  void KeepOnlyFile(const std::u16string& path);

  // The files that hold hits, in the order their first hit came; without a
  // pass over the hits, which a list may hold by the ten million.
  std::vector<const HitFile*> Files() const;

  // Any thread.
  size_t Count() const { return count_.load(std::memory_order_acquire); }

  // Only while no run is in progress.
  size_t size() const { return hits_.size(); }
  const Hit& operator[](size_t i) const { return hits_[i]; }
  auto begin() const { return hits_.begin(); }
  auto end() const { return hits_.end(); }

 private:
  std::deque<Hit> hits_;  // a deque: appending never moves the hits a row table points at
  std::vector<std::unique_ptr<HitFile>> files_;
  std::atomic<size_t> count_{0};
};

}  // namespace trawlscope
