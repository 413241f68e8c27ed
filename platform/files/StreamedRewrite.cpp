#include "platform/files/StreamedRewrite.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/files/FileDescriptor.h"
#include "platform/files/SafeWriteSteps.h"
#include "platform/files/SystemCalls.h"

namespace trawlscope {

using namespace safewrite;

namespace {

// The old bytes, too many to hold, wait beside the file until the new ones stand.
Outcome<> CopyAside(IFileOps& ops, TemporaryFile& aside, int from, std::uint64_t count) {
  if (const Outcome<> made = aside.Create(); !made) return made;
  return CopyBytes(ops, from, 0, aside.Fd(), -1, count);
}

}  // namespace

StreamedRewrite::StreamedRewrite(IFileOps& ops) : ops_(ops) {}

StreamedRewrite::~StreamedRewrite() = default;

Outcome<> StreamedRewrite::Begin(const std::string& nativePath, const FileIdentity& asRead, Links links) {
  asRead_ = asRead;
  target_ = std::make_unique<Target>(ops_);
  if (const Outcome<> found = FindTarget(ops_, nativePath, links, *target_, info_); !found) return found;
  // Held until after the rename, as RewriteFile holds it.
  original_ = std::make_unique<HeldFile>(ops_, *target_);
  if (original_->Fd() < 0) return FileError::System(FileStep::Open, errno);
  if (HeldChangedSince(ops_, original_->Fd(), asRead_)) return FileError::Refused(FileRefusal::ChangedSinceRead);
  auto temporary = std::make_unique<TemporaryFile>(ops_, *target_);
  if (const Outcome<> made = temporary->Create(); !made) return made;
  temporary_ = std::move(temporary);
  return Done();
}

bool StreamedRewrite::Append(std::string_view bytes) {
  if (!appended_ || !temporary_) return false;
  appended_ = WriteAll(ops_, temporary_->Fd(), bytes);
  if (appended_) size_ += bytes.size();
  return appended_.Ok();
}

bool StreamedRewrite::AppendFrom(int from, std::uint64_t offset, std::uint64_t count) {
  if (!appended_ || !temporary_) return false;
  appended_ = CopyBytes(ops_, from, offset, temporary_->Fd(), -1, count);
  if (appended_) size_ += count;
  return appended_.Ok();
}

Outcome<FileIdentity> StreamedRewrite::Finish() {
  if (!appended_) return appended_.Failure();
  if (!temporary_) return FileError::System(FileStep::CreateTemporary, EBADF);
  if (info_.st_nlink > 1) return InPlace();
  const Replacing replacing{asRead_, asRead_, original_->Fd()};
  const Outcome<FileIdentity> placed = PlaceTemporary(ops_, *temporary_, *target_, &replacing, 0);
  // A new file would belong to this user: in place, the file stays whose it was.
  if (!placed && placed.Failure().refusal == FileRefusal::OwnerNotKept) return InPlace();
  if (placed && HeldChangedSince(ops_, original_->Fd(), asRead_))
    return PutBack(ops_, *target_, original_->Fd(), placed.Value());
  return placed;
}

Outcome<FileIdentity> StreamedRewrite::InPlace() {
  if (!InPlaceKeepsSpecialBits(info_)) return FileError::Refused(FileRefusal::SpecialBitsNotKept);
  const FileDescriptor file(ops_.OpenAt(target_->Folder(), target_->Name().c_str(), O_WRONLY | O_CLOEXEC), ops_);
  if (!file.Valid()) return FileError::System(FileStep::OpenForWriting, errno);
  const int fd = file.Fd();
  TemporaryFile old(ops_, *target_);
  const auto oldSize = static_cast<std::uint64_t>(asRead_.size);
  Outcome<FileIdentity> result = FileIdentity{};
  // Checked before reserving room, which itself touches the modification time.
  if (HeldChangedSince(ops_, fd, asRead_)) {
    result = FileError::Refused(FileRefusal::ChangedSinceRead);
  } else if (const Outcome<> aside = CopyAside(ops_, old, original_->Fd(), oldSize); !aside) {
    result = aside.Failure();
  } else if (ops_.Reserve(fd, static_cast<off_t>(size_)) != 0) {
    result = FileError::System(FileStep::Reserve, errno);
  } else if (const Outcome<> copied = CopyBytes(ops_, temporary_->Fd(), 0, fd, 0, size_); !copied) {
    result = copied.Failure().AtStep(FileStep::WriteInPlace);
  } else if (ops_.Truncate(fd, static_cast<off_t>(size_)) != 0 || ops_.Sync(fd) != 0) {
    result = FileError::System(FileStep::WriteInPlace, errno);
  }
  if (!result && result.Failure().step == FileStep::WriteInPlace) {  // begun: the old bytes go back
    if (CopyBytes(ops_, old.Fd(), 0, fd, 0, oldSize)) ops_.Truncate(fd, static_cast<off_t>(oldSize));
    ops_.Sync(fd);
  }
  RestoreSpecialBits(ops_, fd, info_.st_mode);
  struct stat after;
  if (result && ops_.FStat(fd, &after) == 0) result = FileIdentity::Of(after);
  return result;
}

}  // namespace trawlscope
