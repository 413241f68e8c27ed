#pragma once
// A compressed file, or one of its members, that a run could not search,
// and why: a value, worded where the program meets the user.
#include <string>

#include "platform/archive/CompressedReader.h"

namespace trawlscope {

struct CompressedProblem {
  std::u16string path;  // the file, or the member in the notation of MemberPath.h
  ArchiveFault fault;   // Damaged, Encrypted or TooLarge; unreadable files go with the others
};

}  // namespace trawlscope
