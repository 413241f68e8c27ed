#pragma once
// A job sink that keeps every call, for tests of whole runs.
#include <string>
#include <vector>

#include "search/run/JobSink.h"

namespace trawlscope::test {

class RecordingSink final : public IJobSink {
 public:
  std::vector<RunWarning> warnings;
  bool finished = false;
  RunSummary summary;

  void Warn(const RunWarning& warning) override { warnings.push_back(warning); }
  void RunFinished(const RunSummary& s) override {
    finished = true;
    summary = s;
  }
};

}  // namespace trawlscope::test
