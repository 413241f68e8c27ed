#pragma once
// One compressed file or archive, read member by member into memory (a
// large member in parts, as it is expanded) and never written anywhere. A stream (".gz" and the like) has one member; an
// archive has its regular files as members, in their stored order. What goes
// wrong is a value (ArchiveFault), and the caller decides whether to go on.
// One reader per thread; it holds libarchive's state for one file at a time.
// libarchive and libdeflate are loaded with the readers' module when the
// first compressed file is opened; when that module cannot be loaded, Open
// fails with a ModuleMissing fault.
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include <memory>

#include "platform/archive/CompressedName.h"
#include "platform/files/FileIdentity.h"
#include "platform/modules/ModuleProblem.h"

namespace trawlscope {

struct ArchiveFault {
  enum class Kind {
    None,
    Unreadable,  // the file could not be opened or read: `error` is the errno
    Damaged,     // the bytes are not what their format says: `detail` is libarchive's description
    Encrypted,   // a member (or the whole archive) needs a passphrase
    TooLarge,    // a member expands past the caller's limit: a bomb, or simply too much to hold
    ModuleMissing,  // the readers' module cannot be loaded: `module` says why
    Link,        // a member that is a symbolic or hard link: `detail` is what it names (not searched)
  };
  Kind kind = Kind::None;
  int error = 0;
  std::string detail;  // English, UTF-8; may be empty
  size_t limit = 0;    // TooLarge: the limit it passed, in bytes
  ModuleProblem module{};
};

struct ArchiveMember {
  std::string name;  // as stored, in the archive's bytes; empty for a stream's one member
  bool encrypted = false;
  // A symbolic or hard link stored in the archive: what it names, as
  // stored. It has no bytes of its own to search.
  std::string linkTarget;
  bool isLink = false;
};

class CompressedReader {
 public:
  CompressedReader();
  ~CompressedReader();
  CompressedReader(const CompressedReader&) = delete;
  CompressedReader& operator=(const CompressedReader&) = delete;

  // Opens the file as `kind` (Stream or Archive, from its name); false, with
  // the fault set, when it cannot be opened. No member may expand past
  // `memberLimit` bytes. `identity` receives what the file was as it was opened.
  bool Open(const std::string& nativePath, CompressedKind kind, size_t memberLimit,
            FileIdentity* identity = nullptr);
  void Close();

  enum class Step { Member, End, Fault };
  // The next regular file; a member that needs a passphrase comes marked,
  // and its bytes cannot be read. After a fault, nothing more can be read.
  Step Next(ArchiveMember& member);

  // After the first Next: whether the bytes were compressed or an archive
  // at all. A plain file behind a compressed name reads as one raw member,
  // which its caller may rather read as a file.
  bool IsCompressed() const;

  enum class Read { Whole, Declined, Fault, Partial };
  // Reads the current member into `bytes` (replacing what it held). Once
  // `headBytes` are in, or the whole member when it is shorter, `wantRest`
  // sees them and may decline the rest (Declined: `bytes` holds the head).
  // Past the limit the member is TooLarge and the file is left: a stream or
  // tar past its bomb would have to be expanded to reach the next member.
  // An abort ends the read as Declined. A member longer than `most` bytes
  // is read only so far (Partial), its rest left to ReadMore.
  Read ReadMember(std::string& bytes, size_t headBytes,
                  const std::function<bool(std::string_view head)>& wantRest, const std::atomic<bool>& abort,
                  size_t most = ~size_t{0});
  // After a Partial read: up to `count` more of the member's bytes into
  // `into`, as they are expanded; 0 at its end, -1 with errno set and the
  // fault set (TooLarge past the limit, Damaged), after which the file is left.
  long long ReadMore(char* into, size_t count);

  const ArchiveFault& Fault() const;

  // The reading itself, done by the readers' module (ArchiveModule.h).
  class Reading;

 private:
  std::unique_ptr<Reading> reading_;  // null until a module's reader is had
  ArchiveFault missing_;
};

}  // namespace trawlscope
