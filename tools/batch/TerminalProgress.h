#pragma once
// The job's sink for a terminal: a one-line progress display on stderr,
// redrawn a few times a second by its own thread while a run goes on, and
// nothing at all when stderr is not a terminal.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "search/run/JobSink.h"
#include "search/run/RunProgress.h"

namespace trawlscope::batch {

// Says on stderr what each Search path entry that listed no file names.
void SayUnlisted(const std::vector<UnlistedPath>& paths);

class TerminalProgress final : public IJobSink {
 public:
  // `hitCount` is read from the display's thread.
  TerminalProgress(std::function<size_t()> hitCount, const RunProgress& progress);
  ~TerminalProgress() override;

  void Warn(const RunWarning& warning) override;
  void RunFinished(const RunSummary& summary) override;

  RunSummary Summary() const;
  // Whether a Search path entry named nothing that could be searched.
  bool PathsUnlisted() const;

  // Puts `lines` out on standard output at once, clearing the progress line
  // first when both share a terminal; any thread.
  void WriteOut(std::string_view lines);

 private:
  void Redraw();
  void ClearLine();

  const std::function<size_t()> hitCount_;
  const RunProgress& progress_;
  const bool onTerminal_;
  const bool outOnTerminal_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool finished_ = false;
  bool pathsUnlisted_ = false;
  RunSummary summary_;
  std::thread painter_;
};

}  // namespace trawlscope::batch
