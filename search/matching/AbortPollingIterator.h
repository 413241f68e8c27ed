#pragma once
// An iterator over a text in memory that polls the abort flag while a
// third-party matcher walks it. One search of a catastrophic expression can
// run for minutes without reporting a match, so polling between matches is
// not enough; the matcher's own steps are the only place to look.
#include <compare>
#include <cstddef>
#include <iterator>

#include "search/AbortFlag.h"

namespace trawlscope {

// Thrown out of the matcher when the flag is seen set. Deliberately not a
// std::exception, so that the scan's handler for the library's own errors
// cannot take it for one. It never leaves the Matcher, which returns
// ScanEnd::Aborted. A throw is the only way out that costs nothing: making
// every iterator compare equal once the flag is seen (so the library finds
// the end of the text) puts the poll in each comparison, which made
// expression searches 8 to 11 in a hundred slower; moving the iterator to the
// text's end instead lets it step past the nearer bounds the library
// compares with, and read past the text.
struct ScanAborted {};

// Makes `abortRequested` the flag that this thread's polling iterators look
// at, until the scope ends. Scopes nest; outside any scope the iterators
// never throw.
class AbortPollScope {
 public:
  explicit AbortPollScope(const AbortFlag& abortRequested);
  ~AbortPollScope();
  AbortPollScope(const AbortPollScope&) = delete;
  AbortPollScope& operator=(const AbortPollScope&) = delete;

 private:
  const AbortFlag* outerFlag_;
};

namespace abort_polling {

// The flag is found per thread rather than through each iterator: the
// matcher copies positions into every state it saves, and a second word in
// each copy made busy scans about a tenth slower.
inline constinit const AbortFlag neverAborted{false};
inline constinit thread_local const AbortFlag* polledFlag = &neverAborted;

// Stops polling for the rest of the scope, so that the matcher's clean-up,
// which moves iterators too, is not cut short by a second throw.
[[noreturn]] void Abort();

// Reading the flag at every step costs less than counting steps to read it
// every few thousand: a count is a write the next step must wait for, the
// flag a read that stays in cache. Measured, a tenth against a few hundredths.
inline void Step() {
  if (IsAborted(*polledFlag)) Abort();
}

}  // namespace abort_polling

template <typename Unit>
class AbortPollingIterator {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using value_type = Unit;
  using difference_type = std::ptrdiff_t;
  using pointer = const Unit*;
  using reference = const Unit&;

  AbortPollingIterator() = default;
  explicit AbortPollingIterator(const Unit* at) : at_(at) {}

  const Unit* Pointer() const { return at_; }

  reference operator*() const { return *at_; }
  pointer operator->() const { return at_; }
  reference operator[](difference_type n) const { return at_[n]; }

  AbortPollingIterator& operator++() {
    ++at_;
    abort_polling::Step();
    return *this;
  }
  AbortPollingIterator operator++(int) {
    AbortPollingIterator was = *this;
    ++*this;
    return was;
  }
  // Backtracking walks back one unit at a time; it is work like any other.
  AbortPollingIterator& operator--() {
    --at_;
    abort_polling::Step();
    return *this;
  }
  AbortPollingIterator operator--(int) {
    AbortPollingIterator was = *this;
    --*this;
    return was;
  }
  AbortPollingIterator& operator+=(difference_type n) {
    at_ += n;
    abort_polling::Step();
    return *this;
  }
  AbortPollingIterator& operator-=(difference_type n) { return *this += -n; }

  friend AbortPollingIterator operator+(AbortPollingIterator it, difference_type n) { return it += n; }
  friend AbortPollingIterator operator+(difference_type n, AbortPollingIterator it) { return it += n; }
  friend AbortPollingIterator operator-(AbortPollingIterator it, difference_type n) { return it -= n; }
  friend difference_type operator-(AbortPollingIterator a, AbortPollingIterator b) {
    return a.at_ - b.at_;
  }
  friend bool operator==(AbortPollingIterator a, AbortPollingIterator b) { return a.at_ == b.at_; }
  friend std::strong_ordering operator<=>(AbortPollingIterator a, AbortPollingIterator b) {
    return a.at_ <=> b.at_;
  }

 private:
  const Unit* at_ = nullptr;
};

}  // namespace trawlscope
