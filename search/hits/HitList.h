#pragma once
// The hits of a run in discovery order, with the records of the files they
// are in. A run's committer appends; while a run goes on other threads may
// call only Count().
#include <atomic>
#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "search/hits/Hit.h"
#include "search/hits/PackedHits.h"

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
  // Trades hits and files with `other` without copying a hit: a list set
  // aside while a run fills this one. Only while no run fills either.
  void Swap(HitList& other);

  // Puts the hits of `fresh` where the hits of `file` stand (at the end when
  // it has none here), in their order: a file searched again. The rest keep
  // their order; indices past the file's hits are no longer valid.
  void ReplaceFileHits(const HitFile& file, HitList&& fresh);

  // Drops every hit but those of the file at `path` (folder and name).
  void KeepOnlyFile(const std::u16string& path);

  // The files that hold hits, in the order their first hit came; without a
  // pass over the hits, which a list may hold by the ten million.
  std::vector<const HitFile*> Files() const;

  // About the memory the hits and their contexts take.
  size_t Bytes() const;

  // Any thread.
  size_t Count() const { return count_.load(std::memory_order_acquire); }

  // Hits are made on demand from packed records: a Hit is a value, and
  // indices are what stay valid while a list grows.
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = Hit;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Hit;
    Iterator(const PackedHits& hits, size_t index)
        : hits_(&hits), index_(index), run_(index < hits.size() ? hits.RunOf(index) : 0), next_(hits.RunFirst(run_ + 1)) {}
    Hit operator*() const { return hits_->At(index_, run_); }
    Iterator& operator++() {
      if (++index_ == next_ && index_ < hits_->size()) next_ = hits_->RunFirst(++run_ + 1);
      return *this;
    }
    Iterator operator++(int) {
      Iterator was = *this;
      ++*this;
      return was;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.index_ == b.index_; }

   private:
    const PackedHits* hits_;
    size_t index_;
    size_t run_;   // the run of the hit at index_
    size_t next_;  // where the next run starts
  };

  // Reads the lines of hits one after another, as Iterator reads hits.
  class LineCursor {
   public:
    LineCursor(const HitList& list, size_t index)
        : hits_(&list.hits_), index_(index), run_(hits_->RunOf(index)), next_(hits_->RunFirst(run_ + 1)) {}
    size_t Index() const { return index_; }
    std::int64_t Line() const { return hits_->LineAt(index_, run_); }
    // Only while a hit follows.
    void Next() {
      if (++index_ == next_) next_ = hits_->RunFirst(++run_ + 1);
    }

   private:
    const PackedHits* hits_;
    size_t index_;
    size_t run_;
    size_t next_;
  };

  // Only while no run is in progress.
  size_t size() const { return hits_.size(); }
  Hit operator[](size_t i) const { return hits_[i]; }
  const HitFile& FileOf(size_t i) const { return hits_.FileOf(i); }
  std::int64_t LineOf(size_t i) const { return hits_.LineOf(i); }
  Iterator begin() const { return {hits_, 0}; }
  Iterator end() const { return {hits_, hits_.size()}; }

 private:
  PackedHits hits_;
  std::vector<std::unique_ptr<HitFile>> files_;
  std::atomic<size_t> count_{0};
};

}  // namespace trawlscope
