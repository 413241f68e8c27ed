#include "platform/journal/UndoLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/SystemCalls.h"
#include "platform/journal/RecordFields.h"

namespace trawlscope {
namespace {

constexpr mode_t kPrivateFileMode = 0600;
constexpr std::string_view kWriteKey = "write";

}  // namespace

UndoLog::UndoLog(const std::string& journalFolder, IFileOps& ops)
    : ops_(ops), path_(journalFolder + "/" + kUndoLogName) {
  fd_ = FileDescriptor(
      ops_.Open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_NOFOLLOW | O_CLOEXEC, kPrivateFileMode), ops_);
  if (!fd_.Valid()) opened_ = FileError::System(FileStep::CreateTemporary, errno);
}

UndoLog::~UndoLog() {
  if (!fd_.Valid()) return;
  fd_.Close();
  ops_.Unlink(path_.c_str());
}

Outcome<> UndoLog::Note(const std::string& path) {
  if (!opened_) return opened_;
  // A line cut short by a power failure names nothing: its write was not begun.
  if (const Outcome<> written =
          WriteAll(ops_, fd_.Fd(), record::CheckedLine(std::string(kWriteKey) + "\t" + record::Escaped(path)));
      !written)
    return written.Failure().AtStep(FileStep::CreateTemporary);
  if (ops_.Sync(fd_.Fd()) != 0) return FileError::System(FileStep::CreateTemporary, errno);
  return Done();
}

std::vector<std::string> AbandonedUndoFiles(const std::string& journalFolder, IFileOps& ops) {
  std::vector<std::string> files;
  const Outcome<std::string> read = ReadOwnFile(ops, journalFolder + "/" + kUndoLogName);
  if (!read) return files;
  const std::string& bytes = read.Value();
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

void RemoveAbandonedUndoLog(const std::string& journalFolder, IFileOps& ops) {
  ops.Unlink((journalFolder + "/" + kUndoLogName).c_str());
}

}  // namespace trawlscope
