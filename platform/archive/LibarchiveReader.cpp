// The readers' module, trawlscope-archive.so: CompressedReader's work done
// by libarchive, and by libdeflate for a small gzip read whole.
#include "platform/archive/ArchiveModule.h"
#include "platform/archive/WholeGzip.h"
#include "platform/files/FileDescriptor.h"
#include "platform/modules/ModuleEntry.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace trawlscope {
namespace {

// libarchive's reads from the file: large enough that a compressed page is
// one or two reads, small enough to stay in the cache.
constexpr size_t kFileBlockBytes = 64u << 10;
// A member's bytes grow by at least this much at a time.
constexpr size_t kLeastGrowth = 64u << 10;
// A stream up to this size is read whole before it is expanded: every
// manual page and most compressed documents and logs. Larger ones are
// streamed from the file, which keeps the room they need to the member.
constexpr size_t kWholeFileBytes = 16u << 20;
// The most room one call of the whole-buffer inflate sets aside: a trailer
// that lies about its size costs no more before libarchive takes over (and
// stops a bomb at the limit). Larger members are streamed.
constexpr size_t kWholeMemberBytes = 64u << 20;
// The reader's own buffers keep up to this much room for the next file.
constexpr size_t kKeptBytes = 16u << 20;

int BaseFormat(struct archive* archive) { return archive_format(archive) & ARCHIVE_FORMAT_BASE_MASK; }

}  // namespace

class LibarchiveReader final : public CompressedReader::Reading {
 public:
  using Step = CompressedReader::Step;
  using Read = CompressedReader::Read;
  LibarchiveReader() = default;
  ~LibarchiveReader() override;
  bool Open(const std::string& nativePath, CompressedKind kind, size_t memberLimit,
            FileIdentity* identity) override;
  void Close() override;
  Step Next(ArchiveMember& member) override;
  bool IsCompressed() const override { return compressed_; }
  Read ReadMember(std::string& bytes, size_t headBytes, const std::function<bool(std::string_view head)>& wantRest,
                  const std::atomic<bool>& abort, size_t most) override;
  long long ReadMore(char* into, size_t count) override;
  const ArchiveFault& Fault() const override { return fault_; }

 private:
  Step Failed(ArchiveFault::Kind kind);
  // libarchive over the file, or over its bytes once they are read whole.
  bool OpenArchive(CompressedKind kind);
  // A small stream is read whole: one read, and a gzip can be inflated in one call.
  bool ReadWholeFile(size_t size);
  // The whole-buffer inflate of a gzip stream; false leaves it to libarchive.
  bool InflateWhole();
  // Passes over the rest of a member its reader left, within the same limit.
  bool DrainMember();

  struct archive* archive_ = nullptr;
  FileDescriptor file_;
  bool compressed_ = false;
  bool first_ = true;
  bool ended_ = false;
  bool unread_ = false;  // the current member's bytes are not all read yet
  size_t memberRead_ = 0;  // of the current member, after a Partial read
  size_t limit_ = 0;
  ArchiveFault fault_;
  CompressedKind kind_ = CompressedKind::None;
  std::string packed_;    // the file's bytes when read whole
  bool packedWhole_ = false;
  bool tryWhole_ = false; // packed_ is a gzip worth inflating in one call
  std::string expanded_;  // its one member, inflated, until ReadMember takes it
  bool expandedReady_ = false;
  WholeGzip gzip_;
};

LibarchiveReader::~LibarchiveReader() { Close(); }

void LibarchiveReader::Close() {
  if (archive_ != nullptr) archive_read_free(archive_);
  archive_ = nullptr;
  file_.Close();
  packedWhole_ = false;
  tryWhole_ = false;
  expandedReady_ = false;
  if (packed_.capacity() > kKeptBytes) std::string().swap(packed_);
  if (expanded_.capacity() > kKeptBytes) std::string().swap(expanded_);
}

bool LibarchiveReader::Open(const std::string& nativePath, CompressedKind kind, size_t memberLimit,
                            FileIdentity* identity) {
  Close();
  limit_ = memberLimit;
  fault_ = {};
  compressed_ = false;
  first_ = true;
  ended_ = false;
  unread_ = false;
  // Non-blocking, so that a FIFO behind the name cannot hang the run before fstat tells.
  file_ = FileDescriptor(::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (!file_.Valid() || ::fstat(file_.Fd(), &info) != 0) {
    fault_ = {ArchiveFault::Kind::Unreadable, errno, {}};
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    fault_ = {ArchiveFault::Kind::Unreadable, EINVAL, {}};
    return false;
  }
  if (identity != nullptr) *identity = FileIdentity::Of(info);
  kind_ = kind;
  if (kind == CompressedKind::Stream && static_cast<uint64_t>(info.st_size) <= kWholeFileBytes) {
    if (!ReadWholeFile(static_cast<size_t>(info.st_size))) {
      fault_ = {ArchiveFault::Kind::Unreadable, errno, {}};
      return false;
    }
    packedWhole_ = true;
    tryWhole_ = WholeGzip::Suits(packed_, std::min(limit_, kWholeMemberBytes));
    if (tryWhole_) return true;  // libarchive only if the one call fails
  }
  return OpenArchive(kind);
}

bool LibarchiveReader::ReadWholeFile(size_t size) {
  packed_.resize(size);
  size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(file_.Fd(), packed_.data() + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;  // shortened since fstat: what is there is the file
    got += static_cast<size_t>(n);
  }
  packed_.resize(got);
  return true;
}

bool LibarchiveReader::OpenArchive(CompressedKind kind) {
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
  const int opened = packedWhole_ ? archive_read_open_memory(archive_, packed_.data(), packed_.size())
                                  : archive_read_open_fd(archive_, file_.Fd(), kFileBlockBytes);
  if (opened != ARCHIVE_OK) {
    Failed(ArchiveFault::Kind::Damaged);
    return false;
  }
  return true;
}

bool LibarchiveReader::InflateWhole() {
  tryWhole_ = false;
  if (!gzip_.Inflate(packed_, expanded_)) return false;
  first_ = false;
  compressed_ = true;
  expandedReady_ = true;
  ended_ = true;  // the one member is all
  return true;
}

LibarchiveReader::Step LibarchiveReader::Failed(ArchiveFault::Kind kind) {
  const char* text = archive_ != nullptr ? archive_error_string(archive_) : nullptr;
  const int error = archive_ != nullptr ? archive_errno(archive_) : 0;
  if (archive_ != nullptr && kind == ArchiveFault::Kind::Damaged && archive_read_has_encrypted_entries(archive_) > 0)
    kind = ArchiveFault::Kind::Encrypted;
  fault_ = {kind, error, text != nullptr ? text : ""};
  ended_ = true;
  return Step::Fault;
}

LibarchiveReader::Step LibarchiveReader::Next(ArchiveMember& member) {
  if (tryWhole_) {
    if (InflateWhole()) {
      member = {};
      return Step::Member;
    }
    // Not one sound member as its trailer said: libarchive reads it again and names what is wrong.
    if (!OpenArchive(kind_)) return Step::Fault;
  }
  expandedReady_ = false;
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
    // A hard link names an earlier member and has no bytes of its own; a tar
    // gives it no file type.
    const char* hardLink = archive_entry_hardlink(entry);
    const bool symbolicLink = archive_entry_filetype(entry) == AE_IFLNK;
    if (archive_entry_filetype(entry) != AE_IFREG && !symbolicLink && hardLink == nullptr) continue;
    const bool stream = BaseFormat(archive_) == ARCHIVE_FORMAT_RAW;
    const char* name = stream ? nullptr : archive_entry_pathname(entry);
    member.name = name != nullptr ? name : "";
    member.encrypted = archive_entry_is_encrypted(entry) != 0;
    member.isLink = symbolicLink || hardLink != nullptr;
    const char* target = symbolicLink ? archive_entry_symlink(entry) : hardLink;
    member.linkTarget = target != nullptr ? target : "";
    unread_ = !member.encrypted && !member.isLink;
    return Step::Member;
  }
}

bool LibarchiveReader::DrainMember() {
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

LibarchiveReader::Read LibarchiveReader::ReadMember(std::string& bytes, size_t headBytes,
                                                    const std::function<bool(std::string_view)>& wantRest,
                                                    const std::atomic<bool>& abort, size_t most) {
  if (expandedReady_) {
    expandedReady_ = false;
    // The room goes back and forth between the two, never copied; what the
    // caller's held need not be zeroed again for the next file's inflate.
    bytes.swap(expanded_);
    if (abort.load(std::memory_order_relaxed)) {
      bytes.clear();
      return Read::Declined;
    }
    const size_t head = std::min(bytes.size(), headBytes);
    if (wantRest(std::string_view(bytes).substr(0, head))) return Read::Whole;
    bytes.resize(head);
    return Read::Declined;
  }
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
    const bool end = got == 0;
    // Judged on its head before its size: a binary member is passed over
    // whatever it expands to, however much one read happened to bring.
    if (!headSeen && (end || size >= headBytes)) {
      headSeen = true;
      if (!wantRest(std::string_view(bytes).substr(0, std::min(size, headBytes)))) return Read::Declined;
    }
    if (size > limit) {
      unread_ = false;
      fault_ = {ArchiveFault::Kind::TooLarge, 0, {}, limit};
      ended_ = true;
      return Read::Fault;
    }
    if (end) {
      unread_ = false;
      return Read::Whole;
    }
    if (headSeen && size >= most) {
      memberRead_ = size;
      return Read::Partial;
    }
  }
}

long long LibarchiveReader::ReadMore(char* into, size_t count) {
  if (!unread_ || archive_ == nullptr) return 0;
  const la_ssize_t got = archive_read_data(archive_, into, count);
  if (got < 0) {
    unread_ = false;
    Failed(ArchiveFault::Kind::Damaged);
    errno = EIO;
    return -1;
  }
  if (got == 0) unread_ = false;
  memberRead_ += static_cast<size_t>(got);
  if (memberRead_ > limit_) {
    unread_ = false;
    fault_ = {ArchiveFault::Kind::TooLarge, 0, {}, limit_};
    ended_ = true;
    errno = EFBIG;
    return -1;
  }
  return got;
}

namespace {

std::unique_ptr<CompressedReader::Reading> MakeReading() { return std::make_unique<LibarchiveReader>(); }

constexpr ArchiveModuleTable kTable{{}, MakeReading};

}  // namespace
}  // namespace trawlscope

TRAWLSCOPE_MODULE_ENTRY trawlscope_archive_module() { return &trawlscope::kTable; }
