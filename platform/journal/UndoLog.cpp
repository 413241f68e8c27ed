#include "platform/journal/UndoLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/FileReader.h"
#include "platform/files/SystemCalls.h"
#include "platform/journal/RecordFields.h"

namespace trawlscope {
namespace {

constexpr mode_t kPrivateFileMode = 0600;
constexpr std::string_view kWriteKey = "write";

}  // namespace

UndoLog::UndoLog(const std::string& journalFolder, IFileOps& ops)
    : ops_(ops), path_(journalFolder + "/" + kUndoLogName) {
  fd_ = ops_.Open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_NOFOLLOW | O_CLOEXEC, kPrivateFileMode);
  if (fd_ < 0) openError_ = errno;
}

UndoLog::~UndoLog() {
  if (fd_ < 0) return;
  ops_.Close(fd_);
  ops_.Unlink(path_.c_str());
}

bool UndoLog::Note(const std::string& path, int& error) {
  if (fd_ < 0) {
    error = openError_;
    return false;
  }
  // A line cut short by a power failure names nothing: its write was not begun.
  if (!WriteAll(ops_, fd_, record::CheckedLine(std::string(kWriteKey) + "\t" + record::Escaped(path)), error))
    return false;
  if (ops_.Sync(fd_) == 0) return true;
  error = errno;
  return false;
}

std::vector<std::string> AbandonedUndoFiles(const std::string& journalFolder) {
  std::string bytes;
  std::vector<std::string> files;
  if (!ReadWholeFile(journalFolder + "/" + kUndoLogName, bytes)) return files;
  for (size_t start = 0; start < bytes.size();) {
    const size_t newline = bytes.find('\n', start);
    if (newline == std::string::npos) break;
    const auto body = record::CheckedBody(std::string_view(bytes).substr(start, newline - start));
    start = newline + 1;
    if (!body) continue;
    const auto fields = record::Fields(*body);
    if (fields.size() != 2 || fields[0] != kWriteKey) continue;
    if (auto path = record::Unescaped(fields[1]); path && !path->empty()) files.push_back(std::move(*path));
  }
  return files;
}

void RemoveAbandonedUndoLog(const std::string& journalFolder) {
  unlink((journalFolder + "/" + kUndoLogName).c_str());
}

}  // namespace trawlscope
