#include "platform/archive/CompressedReader.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace trawlscope {
namespace {

// libarchive's reads from the file: large enough that a compressed page is
// one or two reads, small enough to stay in the cache.
constexpr size_t kFileBlockBytes = 64u << 10;
// A member's bytes grow by at least this much at a time.
constexpr size_t kLeastGrowth = 64u << 10;

int BaseFormat(struct archive* archive) { return archive_format(archive) & ARCHIVE_FORMAT_BASE_MASK; }

}  // namespace

CompressedReader::~CompressedReader() { Close(); }

void CompressedReader::Close() {
  if (archive_ != nullptr) archive_read_free(archive_);
  archive_ = nullptr;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool CompressedReader::Open(const std::string& nativePath, CompressedKind kind, size_t memberLimit,
                            FileIdentity* identity) {
  Close();
  limit_ = memberLimit;
  fault_ = {};
  compressed_ = false;
  first_ = true;
  ended_ = false;
  unread_ = false;
  // Non-blocking, so that a FIFO behind the name cannot hang the run before fstat tells.
  fd_ = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
    fault_ = {ArchiveFault::Kind::Unreadable, errno, {}};
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    fault_ = {ArchiveFault::Kind::Unreadable, EINVAL, {}};
    return false;
  }
  if (identity != nullptr) *identity = FileIdentity::Of(info);
  archive_ = archive_read_new();
  if (archive_ == nullptr) {
    fault_ = {ArchiveFault::Kind::Unreadable, ENOMEM, {}};
    return false;
  }
  archive_read_support_filter_all(archive_);
  // A stream needs no archive format: offering only "raw" spares every
  // format's bid on every page of a manual.
  if (kind == CompressedKind::Archive) archive_read_support_format_all(archive_);
  archive_read_support_format_raw(archive_);
  if (archive_read_open_fd(archive_, fd_, kFileBlockBytes) != ARCHIVE_OK) {
    Failed(ArchiveFault::Kind::Damaged);
    return false;
  }
  return true;
}

CompressedReader::Step CompressedReader::Failed(ArchiveFault::Kind kind) {
  const char* text = archive_ != nullptr ? archive_error_string(archive_) : nullptr;
  const int error = archive_ != nullptr ? archive_errno(archive_) : 0;
  if (archive_ != nullptr && kind == ArchiveFault::Kind::Damaged && archive_read_has_encrypted_entries(archive_) > 0)
    kind = ArchiveFault::Kind::Encrypted;
  fault_ = {kind, error, text != nullptr ? text : ""};
  ended_ = true;
  return Step::Fault;
}

CompressedReader::Step CompressedReader::Next(ArchiveMember& member) {
  if (archive_ == nullptr || ended_) return Step::End;
  if (unread_ && !DrainMember()) return Step::Fault;
  for (;;) {
    struct archive_entry* entry = nullptr;
    const int status = archive_read_next_header(archive_, &entry);
    if (status == ARCHIVE_EOF) {
      ended_ = true;
      return Step::End;
    }
    // A warning (a name the locale cannot show) leaves the member readable.
    if (status < ARCHIVE_WARN) return Failed(ArchiveFault::Kind::Damaged);
    if (first_) {
      first_ = false;
      const int format = BaseFormat(archive_);
      compressed_ = archive_filter_count(archive_) > 1 ||
                    (format != ARCHIVE_FORMAT_RAW && format != ARCHIVE_FORMAT_EMPTY);
    }
    if (archive_entry_filetype(entry) != AE_IFREG) continue;
    const bool stream = BaseFormat(archive_) == ARCHIVE_FORMAT_RAW;
    const char* name = stream ? nullptr : archive_entry_pathname(entry);
    member.name = name != nullptr ? name : "";
    member.encrypted = archive_entry_is_encrypted(entry) != 0;
    unread_ = !member.encrypted;
    return Step::Member;
  }
}

bool CompressedReader::DrainMember() {
  unread_ = false;
  // A zip or 7z member is passed over by seeking; in a compressed tar or
  // stream, passing over means expanding, which the same limit bounds.
  const int format = BaseFormat(archive_);
  if (format == ARCHIVE_FORMAT_ZIP || format == ARCHIVE_FORMAT_7ZIP) return true;
  static thread_local char scratch[kLeastGrowth];
  size_t total = 0;
  for (;;) {
    const la_ssize_t got = archive_read_data(archive_, scratch, sizeof scratch);
    if (got == 0) return true;
    if (got < 0) return Failed(ArchiveFault::Kind::Damaged), false;
    total += static_cast<size_t>(got);
    if (total > limit_) {
      fault_ = {ArchiveFault::Kind::TooLarge, 0, {}, limit_};
      ended_ = true;
      return false;
    }
  }
}

CompressedReader::Read CompressedReader::ReadMember(std::string& bytes, size_t headBytes,
                                                    const std::function<bool(std::string_view)>& wantRest,
                                                    const std::atomic<bool>& abort) {
  bytes.clear();
  const size_t limit = limit_;
  if (!unread_) return Read::Whole;
  bool headSeen = false;
  size_t size = 0;
  for (;;) {
    if (abort.load(std::memory_order_relaxed)) return Read::Declined;
    if (size == bytes.capacity()) bytes.reserve(std::min(limit + 1, size + std::max(size, kLeastGrowth)));
    // A piece at a time: the room a large member left is not zeroed again for every small one.
    const size_t room = std::min(std::min(bytes.capacity(), limit + 1) - size, kLeastGrowth);
    bytes.resize(size + room);
    const la_ssize_t got = archive_read_data(archive_, bytes.data() + size, room);
    if (got < 0) {
      bytes.resize(size);
      unread_ = false;
      Failed(ArchiveFault::Kind::Damaged);
      return Read::Fault;
    }
    size += static_cast<size_t>(got);
    bytes.resize(size);
    if (size > limit) {
      unread_ = false;
      fault_ = {ArchiveFault::Kind::TooLarge, 0, {}, limit};
      ended_ = true;
      return Read::Fault;
    }
    const bool end = got == 0;
    if (!headSeen && (end || size >= headBytes)) {
      headSeen = true;
      if (!wantRest(std::string_view(bytes).substr(0, std::min(size, headBytes)))) return Read::Declined;
    }
    if (end) {
      unread_ = false;
      return Read::Whole;
    }
  }
}

}  // namespace trawlscope
