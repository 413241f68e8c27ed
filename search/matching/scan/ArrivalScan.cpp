#include "search/matching/scan/ArrivalScan.h"

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
  if (needle_ != nullptr && !found_) {
    // An occurrence may begin in the piece before and end in this one; the
    // bytes taken from there are ASCII, or the scan would have stopped.
    const size_t overlap = needle_->NeedleSize() > 0 ? needle_->NeedleSize() - 1 : 0;
    const size_t from = newFrom - std::min(newFrom, overlap);
    switch (needle_->LookInAscii(soFar.substr(from))) {
      case ByteFinder::InAscii::Found: found_ = true; return;
      case ByteFinder::InAscii::NotFound: return;
      case ByteFinder::InAscii::HighByte: break;  // where exactly, below
    }
  }
  const size_t high = FindFirstHighByte(soFar.substr(newFrom));
  if (newFrom + high < soFar.size()) {
    sawHighByte_ = true;
    firstHighByte_ = newFrom + high;
  }
}

}  // namespace trawlscope
