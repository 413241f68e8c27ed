#pragma once
// The job's sink for a terminal: a one-line progress display on stderr,
// redrawn a few times a second by its own thread while a run goes on, and
// nothing at all when stderr is not a terminal.
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "search/HitList.h"
#include "search/run/JobSink.h"
#include "search/run/RunProgress.h"

namespace trawlscope::batch {

class TerminalProgress final : public IJobSink {
 public:
  TerminalProgress(const HitList& hits, const RunProgress& progress);
  ~TerminalProgress() override;

  void Warn(const RunWarning& warning) override;
  void RunFinished(const RunSummary& summary) override;

  RunSummary Summary() const;

 private:
  void Redraw();
  void ClearLine();

  const HitList& hits_;
  const RunProgress& progress_;
  const bool onTerminal_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool finished_ = false;
  RunSummary summary_;
  std::thread painter_;
};

}  // namespace trawlscope::batch
