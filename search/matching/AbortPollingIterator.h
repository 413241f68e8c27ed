#pragma once
// An iterator over a text in memory that polls the abort flag while a
// third-party matcher walks it. One search of a catastrophic expression can
// run for minutes without reporting a match, so polling between matches is
// not enough; the matcher's own steps are the only place to look.
//
// Once the flag is seen set, every two iterators compare equal for the rest
// of the scope: the matcher, which tests for the end of the text (or its
// start) before each character it reads and each step it takes, finds itself
// at both and stops, a little later, with no exception through its frames.
// What it then returns is not a finding: the scan asks Stopped() and drops it.
#include <compare>
#include <cstddef>
#include <iterator>

#include "search/AbortFlag.h"

namespace trawlscope {

// Makes `abortRequested` the flag that this thread's polling iterators look
// at, until the scope ends. Scopes nest; outside any scope the iterators
// compare as pointers do.
class AbortPollScope {
 public:
  explicit AbortPollScope(const AbortFlag& abortRequested);
  ~AbortPollScope();
  AbortPollScope(const AbortPollScope&) = delete;
  AbortPollScope& operator=(const AbortPollScope&) = delete;

  // Whether an iterator saw the flag set in this scope, so that whatever the
  // matcher returned since is not to be trusted.
  bool Stopped() const;

 private:
  const AbortFlag* outerFlag_;
};

namespace abort_polling {

// The flag is found per thread rather than through each iterator: the
// matcher copies positions into every state it saves, and a second word in
// each copy made busy scans about a tenth slower.
inline constinit const AbortFlag neverAborted{false};
// Polled instead once the scope's flag has been seen set, so that the rest of
// the matcher's walk sees the end whatever becomes of the flag.
inline constinit const AbortFlag stopped{true};
inline constinit thread_local const AbortFlag* polledFlag = &neverAborted;

// Reading the flag at every comparison costs less than counting steps to read
// it every few thousand: a count is a write the next step must wait for, the
// flag a read that stays in cache. Measured, a tenth against a few hundredths.
// The matcher compares before each character it reads, so this polls as
// often as its steps do.
inline bool SeenAborted() {
  if (!IsAborted(*polledFlag)) [[likely]]
    return false;
  polledFlag = &stopped;
  return true;
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
    return *this;
  }
  AbortPollingIterator operator++(int) {
    AbortPollingIterator was = *this;
    ++*this;
    return was;
  }
  AbortPollingIterator& operator--() {
    --at_;
    return *this;
  }
  AbortPollingIterator operator--(int) {
    AbortPollingIterator was = *this;
    --*this;
    return was;
  }
  AbortPollingIterator& operator+=(difference_type n) {
    at_ += n;
    return *this;
  }
  AbortPollingIterator& operator-=(difference_type n) { return *this += -n; }

  friend AbortPollingIterator operator+(AbortPollingIterator it, difference_type n) { return it += n; }
  friend AbortPollingIterator operator+(difference_type n, AbortPollingIterator it) { return it += n; }
  friend AbortPollingIterator operator-(AbortPollingIterator it, difference_type n) { return it -= n; }
  friend difference_type operator-(AbortPollingIterator a, AbortPollingIterator b) {
    return a.at_ - b.at_;
  }
  // Equal, once the flag is seen, whatever the places: see the top.
  friend bool operator==(AbortPollingIterator a, AbortPollingIterator b) {
    return a.at_ == b.at_ || abort_polling::SeenAborted();
  }
  friend std::strong_ordering operator<=>(AbortPollingIterator a, AbortPollingIterator b) {
    return a.at_ <=> b.at_;
  }

 private:
  const Unit* at_ = nullptr;
};

}  // namespace trawlscope
