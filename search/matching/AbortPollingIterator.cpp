#include "search/matching/AbortPollingIterator.h"

namespace trawlscope {

AbortPollScope::AbortPollScope(const AbortFlag& abortRequested)
    : outerFlag_(abort_polling::polledFlag) {
  abort_polling::polledFlag = &abortRequested;
}

AbortPollScope::~AbortPollScope() { abort_polling::polledFlag = outerFlag_; }

bool AbortPollScope::Stopped() const { return abort_polling::polledFlag == &abort_polling::stopped; }

}  // namespace trawlscope
