#include "search/run/RunProgress.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>

namespace trawlscope {
namespace {

// The name shown is the started file's, taken from the run's list when a
// display reads; once the run has finished, the list may go and the last
// name stays.
TEST(RunProgress, TheStartedFilesNameIsReadFromTheListUntilTheRunFinishes) {
  RunProgress progress;
  auto list = std::make_unique<std::deque<std::u16string>>(std::deque<std::u16string>{u"/t/a.txt", u"/t/sub/b.txt"});
  progress.Start(RunPhase::Searching);
  EXPECT_EQ(progress.Read().fileName, u"");
  progress.FileStarted((*list)[0]);
  EXPECT_EQ(progress.Read().fileName, u"a.txt");
  progress.FileStarted((*list)[1]);
  const ProgressSnapshot during = progress.Read();
  EXPECT_EQ(during.fileName, u"b.txt");
  EXPECT_EQ(during.started, 2u);
  progress.Finish();
  list.reset();
  EXPECT_EQ(progress.Read().fileName, u"b.txt");
  EXPECT_EQ(progress.Read().phase, RunPhase::Idle);
  progress.Start(RunPhase::Searching);
  EXPECT_EQ(progress.Read().fileName, u"");
}

}  // namespace
}  // namespace trawlscope
