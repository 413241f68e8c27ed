#pragma once
// Whole reads and writes over the system-call seam: interrupted calls are
// made again, short ones go on where they stopped.
#include <string>
#include <string_view>
#include <sys/types.h>

#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"

namespace trawlscope {

// Calls `call` again for as long as it fails with EINTR.
template <typename Call>
auto RetryOnInterrupt(Call call) {
  for (;;) {
    const auto result = call();
    if (result >= 0 || errno != EINTR) return result;
  }
}

// Writes every byte at the file's position, or from `offset` when it is not
// negative; fails at FileStep::Write (ENOSPC when the disk took nothing).
Outcome<> WriteAll(IFileOps& ops, int fd, std::string_view bytes, off_t offset = -1);

// The file's bytes from offset 0 to its end; fails at FileStep::Read.
Outcome<std::string> ReadAll(IFileOps& ops, int fd);

// The bytes of a small file of the program's own (a record, a log); never
// a FIFO or a device, which could hang the read.
Outcome<std::string> ReadOwnFile(IFileOps& ops, const std::string& path);

}  // namespace trawlscope
