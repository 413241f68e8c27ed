#include "search/matching/ArrivalScan.h"

#include <algorithm>

#include "platform/codepage/ByteScan.h"

namespace trawlscope {

void ArrivalScan::Start(const ByteFinder* needle) {
  needle_ = needle;
  sawHighByte_ = false;
  firstHighByte_ = 0;
  found_ = false;
}

void ArrivalScan::Arrived(std::string_view soFar, size_t newFrom) {
  if (sawHighByte_) return;
  const size_t high = FindFirstHighByte(soFar.substr(newFrom));
  if (newFrom + high < soFar.size()) {
    sawHighByte_ = true;
    firstHighByte_ = newFrom + high;
    return;  // the needle's answer would no longer be the whole file's
  }
  if (needle_ == nullptr || found_) return;
  // An occurrence may begin in the piece before and end in this one.
  const size_t overlap = needle_->NeedleSize() > 0 ? needle_->NeedleSize() - 1 : 0;
  const size_t from = newFrom - std::min(newFrom, overlap);
  found_ = needle_->FoundIn(soFar.substr(from));
}

}  // namespace trawlscope
