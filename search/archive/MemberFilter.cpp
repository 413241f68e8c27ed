#include "search/archive/MemberFilter.h"

#include "platform/archive/CompressedName.h"

namespace trawlscope {

bool MemberFilter::MayHoldWanted(std::u16string_view fileName) {
  return CompressedKindOfName(fileName) != CompressedKind::None;
}

}  // namespace trawlscope
