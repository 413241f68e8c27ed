#pragma once
// Some hits of a list in an order of their own: the rows a user selected or
// a filter shows. Held as the hits' places in the list, four bytes a hit
// where copies of the hits took fifty (select all of fifty million rows took
// 2.5 GB); each Hit is made when it is read. Hits of no list (tests, lists
// made by hand) may be held as they are.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "search/hits/HitList.h"

namespace trawlscope {

class HitPicks {
 public:
  HitPicks() = default;
  HitPicks(const HitList& list, std::vector<std::uint32_t> places) : list_(&list), places_(std::move(places)) {}
  HitPicks(std::vector<Hit> hits) : own_(std::move(hits)) {}  // NOLINT: a vector of hits is a pick of them
  HitPicks(std::initializer_list<Hit> hits) : own_(hits) {}

  size_t size() const { return list_ != nullptr ? places_.size() : own_.size(); }
  bool empty() const { return size() == 0; }
  Hit operator[](size_t i) const { return list_ != nullptr ? (*list_)[places_[i]] : own_[i]; }
  const HitFile& FileOf(size_t i) const { return list_ != nullptr ? list_->FileOf(places_[i]) : own_[i].File(); }

  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = Hit;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Hit;
    Iterator(const HitPicks& picks, size_t at) : picks_(&picks), at_(at) {}
    Hit operator*() const { return (*picks_)[at_]; }
    Iterator& operator++() {
      ++at_;
      return *this;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.at_ == b.at_; }

   private:
    const HitPicks* picks_;
    size_t at_;
  };
  Iterator begin() const { return {*this, 0}; }
  Iterator end() const { return {*this, size()}; }

 private:
  const HitList* list_ = nullptr;
  std::vector<std::uint32_t> places_;
  std::vector<Hit> own_;
};

}  // namespace trawlscope
