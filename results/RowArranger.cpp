#include "results/RowArranger.h"

namespace trawlscope {

void RowArranger::Start(const HitList& hits, const RowTable& table, RowArrangement wanted,
                        std::function<void(const RowArrangement&, ArrangedRows)> done) {
  Stop();
  // The flag outlives this object in the queued delivery, which checks it
  // before it hands over the rows.
  auto cancel = std::make_shared<std::atomic<bool>>(false);
  auto ended = std::make_shared<std::atomic<bool>>(false);
  cancel_ = cancel;
  workerEnded_ = ended;
  busy_ = true;
  making_ = wanted;
  worker_ = std::thread([this, &hits, &table, wanted, cancel, ended, done = std::move(done)]() mutable {
    std::optional<ArrangedRows> rows = ArrangeRows(hits, wanted, table, *cancel);
    ended->store(true);
    if (!rows) return;
    post_([this, cancel, wanted, done = std::move(done), rows = std::make_shared<ArrangedRows>(std::move(*rows))] {
      if (cancel->load()) return;
      // The thread has finished its work; joined here so that the next Start need not wait.
      if (worker_.joinable()) worker_.join();
      busy_ = false;
      done(wanted, std::move(*rows));
    });
  });
}

void RowArranger::Stop() {
  if (cancel_) cancel_->store(true);
  if (worker_.joinable()) stopped_.push_back({std::move(worker_), workerEnded_});
  busy_ = false;
  JoinEnded();
}

void RowArranger::JoinEnded() {
  std::erase_if(stopped_, [](Stopped& job) {
    if (!job.ended->load()) return false;
    job.thread.join();
    return true;
  });
}

void RowArranger::WaitForStopped() {
  for (Stopped& job : stopped_) job.thread.join();
  stopped_.clear();
}

void RowArranger::Cancel() {
  Stop();
  WaitForStopped();
}

}  // namespace trawlscope
