#include "platform/files/StreamedRewrite.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/files/SafeWriteSteps.h"
#include "platform/files/SystemCalls.h"

namespace trawlscope {

using namespace safewrite;

StreamedRewrite::StreamedRewrite(IFileOps& ops) : ops_(ops) {}

StreamedRewrite::~StreamedRewrite() = default;

WriteResult StreamedRewrite::Begin(const std::string& nativePath, const FileIdentity& asRead, Links links) {
  asRead_ = asRead;
  target_ = std::make_unique<Target>(ops_);
  if (const WriteResult found = FindTarget(ops_, nativePath, links, *target_, info_); !found.written) return found;
  // Held until after the rename, as RewriteFile holds it.
  original_ = std::make_unique<HeldFile>(ops_, *target_);
  if (original_->Fd() < 0) return {false, FileError::System(FileStep::Open, errno)};
  if (HeldChangedSince(ops_, original_->Fd(), asRead_)) return {false, FileError::Refused(FileRefusal::ChangedSinceRead)};
  temporary_ = std::make_unique<TemporaryFile>(ops_, *target_);
  if (temporary_->Fd() < 0) {
    const int error = temporary_->Error();
    temporary_.reset();
    return {false, FileError::System(FileStep::CreateTemporary, error)};
  }
  return {true};
}

bool StreamedRewrite::Append(std::string_view bytes) {
  if (failed_ || !temporary_) return false;
  int error = 0;
  if (!WriteAll(ops_, temporary_->Fd(), bytes, error)) {
    failed_ = true;
    error_ = FileError::System(FileStep::Write, error);
    return false;
  }
  size_ += bytes.size();
  return true;
}

bool StreamedRewrite::AppendFrom(int from, std::uint64_t offset, std::uint64_t count) {
  if (failed_ || !temporary_) return false;
  int error = 0;
  if (!CopyBytes(ops_, from, offset, temporary_->Fd(), -1, count, error)) {
    failed_ = true;
    error_ = FileError::System(FileStep::Write, error);
    return false;
  }
  size_ += count;
  return true;
}

WriteResult StreamedRewrite::Finish() {
  if (failed_) return {false, error_};
  if (!temporary_) return {false, FileError::System(FileStep::CreateTemporary, EBADF)};
  if (info_.st_nlink > 1) return InPlace();
  const Replacing replacing{asRead_, asRead_, original_->Fd()};
  FileIdentity placed;
  const WriteResult result = PlaceTemporary(ops_, *temporary_, *target_, &replacing, placed, 0);
  // A new file would belong to this user: in place, the file stays whose it was.
  if (result.error.refusal == FileRefusal::OwnerNotKept) return InPlace();
  if (result.written && HeldChangedSince(ops_, original_->Fd(), asRead_))
    return PutBack(ops_, *target_, original_->Fd(), placed);
  return result;
}

WriteResult StreamedRewrite::InPlace() {
  if (!InPlaceKeepsSpecialBits(info_)) return {false, FileError::Refused(FileRefusal::SpecialBitsNotKept)};
  const int fd = ops_.OpenAt(target_->Folder(), target_->Name().c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return {false, FileError::System(FileStep::OpenForWriting, errno)};
  // The old bytes, too many to hold, wait beside it until the new ones stand.
  TemporaryFile old(ops_, *target_);
  const auto oldSize = static_cast<std::uint64_t>(asRead_.size);
  int error = 0;
  WriteResult result{true};
  struct stat after;
  // Checked before reserving room, which itself touches the modification time.
  if (HeldChangedSince(ops_, fd, asRead_)) {
    result = {false, FileError::Refused(FileRefusal::ChangedSinceRead)};
  } else if (old.Fd() < 0) {
    result = {false, FileError::System(FileStep::CreateTemporary, old.Error())};
  } else if (!CopyBytes(ops_, original_->Fd(), 0, old.Fd(), -1, oldSize, error)) {
    result = {false, FileError::System(FileStep::Write, error)};
  } else if (ops_.Reserve(fd, static_cast<off_t>(size_)) != 0) {
    result = {false, FileError::System(FileStep::Reserve, errno)};
  } else if (!CopyBytes(ops_, temporary_->Fd(), 0, fd, 0, size_, error) ||
             ops_.Truncate(fd, static_cast<off_t>(size_)) != 0 || ops_.Sync(fd) != 0) {
    result = {false, FileError::System(FileStep::WriteInPlace, error ? error : errno)};
    int ignored = 0;
    if (CopyBytes(ops_, old.Fd(), 0, fd, 0, oldSize, ignored)) ops_.Truncate(fd, static_cast<off_t>(oldSize));
    ops_.Sync(fd);
  }
  RestoreSpecialBits(ops_, fd, info_.st_mode);
  if (result.written && ops_.FStat(fd, &after) == 0) result.placed = FileIdentity::Of(after);
  ops_.Close(fd);
  return result;
}

}  // namespace trawlscope
