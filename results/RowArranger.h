#pragma once
// Makes the result list's rows (ArrangeRows) on a thread of its own, so that
// the window keeps answering while a long list is sorted or filtered. One job
// at a time: a new one cancels the last, whose rows are never delivered.
// Owner's thread only; the hit list and the row table must not change while
// a job, or a cancelled one still stopping, reads them (Cancel first).
// A job given up for the next, or by Stop, is not waited for: its thread
// ends within milliseconds, but on a busy machine it may not be given a core
// for a while, and the window must not wait for it.
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "results/RowTable.h"

namespace trawlscope {

class RowArranger {
 public:
  // `post` runs a function later on the owner's thread (a queued call).
  explicit RowArranger(std::function<void(std::function<void()>)> post) : post_(std::move(post)) {}
  ~RowArranger() { Cancel(); }
  RowArranger(const RowArranger&) = delete;
  RowArranger& operator=(const RowArranger&) = delete;

  // `done` gets the rows on the owner's thread, unless a later Start or
  // Cancel came first.
  void Start(const HitList& hits, const RowTable& table, RowArrangement wanted,
             std::function<void(const RowArrangement&, ArrangedRows)> done);
  // Stops the job and waits for its thread and any still stopping.
  void Cancel();
  // Stops the job without waiting for its thread.
  void Stop();
  // Waits for the threads of jobs stopped earlier: before the row table changes.
  void WaitForStopped();
  bool Busy() const { return busy_; }
  // The arrangement the running job makes.
  const RowArrangement& Making() const { return making_; }

 private:
  std::function<void(std::function<void()>)> post_;
  // Joins the stopped threads that have ended, without waiting.
  void JoinEnded();
  struct Stopped {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> ended;
  };
  std::thread worker_;
  std::shared_ptr<std::atomic<bool>> workerEnded_;
  std::vector<Stopped> stopped_;
  std::shared_ptr<std::atomic<bool>> cancel_;
  bool busy_ = false;
  RowArrangement making_;
};

}  // namespace trawlscope
