#pragma once
// A job sink that keeps every call, for tests of whole runs.
#include <functional>
#include <string>
#include <vector>

#include "search/JobSink.h"

namespace trawlscope::test {

class RecordingSink final : public IJobSink {
 public:
  std::vector<std::u16string> progress;  // "phase i/N name", or the phase alone while listing
  std::vector<std::u16string> phases;
  std::vector<std::u16string> messages;
  std::vector<RunWarning> warnings;
  int processingStarted = -1;
  bool stopped = false;
  bool finished = false;
  RunSummary summary;
  std::function<void(const ProgressReport&)> onProgress;

  void ReportProgress(const ProgressReport& report) override {
    std::u16string line(report.phase);
    phases.emplace_back(report.phase);
    if (report.index >= 0) {
      const std::string count = " " + std::to_string(report.index) + "/" + std::to_string(report.total) + " ";
      line += std::u16string(count.begin(), count.end());
      line += report.fileName;
    }
    progress.push_back(line);
    if (onProgress) onProgress(report);
  }
  void ProcessingStarted(int fileCount) override { processingStarted = fileCount; }
  void ProcessingStopped() override { stopped = true; }
  void ShowMessage(std::u16string_view text) override { messages.emplace_back(text); }
  void Warn(const RunWarning& warning) override { warnings.push_back(warning); }
  void RunFinished(const RunSummary& s) override {
    finished = true;
    summary = s;
  }
};

}  // namespace trawlscope::test
