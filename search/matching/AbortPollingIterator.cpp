#include "search/matching/AbortPollingIterator.h"

namespace trawlscope {
namespace abort_polling {

void Abort() {
  polledFlag = &neverAborted;
  throw ScanAborted{};
}

}  // namespace abort_polling

AbortPollScope::AbortPollScope(const AbortFlag& abortRequested)
    : outerFlag_(abort_polling::polledFlag) {
  abort_polling::polledFlag = &abortRequested;
}

AbortPollScope::~AbortPollScope() { abort_polling::polledFlag = outerFlag_; }

}  // namespace trawlscope
