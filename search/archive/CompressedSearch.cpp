#include "search/archive/CompressedSearch.h"

#include <algorithm>
#include <optional>

#include "platform/archive/CompressedReader.h"
#include "platform/codepage/binary/BinaryContent.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/files/NativePath.h"
#include "search/archive/MemberPath.h"
#include "search/listing/PathHelpers.h"

namespace trawlscope {
namespace {

// A member's bytes up to this size keep their memory for the next member.
constexpr size_t kKeptMemberBytes = 16u << 20;

using Step = CompressedReader::Step;
using Read = CompressedReader::Read;

// A member's bytes as the reader expands them.
class MemberStream final : public PieceStream {
 public:
  explicit MemberStream(CompressedReader& reader) : reader_(reader) {}
  long long Read(char* into, size_t count) override { return reader_.ReadMore(into, count); }

 private:
  CompressedReader& reader_;
};

// Appends the rest of a member read in part to `bytes`; false on a fault.
bool ReadRest(CompressedReader& reader, std::string& bytes) {
  constexpr size_t kPart = 1u << 20;
  for (;;) {
    const size_t size = bytes.size();
    bytes.resize(size + kPart);
    const long long got = reader.ReadMore(bytes.data() + size, kPart);
    bytes.resize(size + static_cast<size_t>(std::max(got, 0ll)));
    if (got <= 0) return got == 0;
  }
}

// The `ordinal`th member (from 0) of the file read again, whole, into `bytes`.
Read ReadMemberAgain(const std::string& nativePath, CompressedKind kind, size_t limit, size_t ordinal,
                     std::string& bytes, const AbortFlag& abortRequested) {
  CompressedReader again;
  if (!again.Open(nativePath, kind, limit)) return Read::Fault;
  ArchiveMember member;
  for (size_t k = 0; k <= ordinal; ++k)
    if (again.Next(member) != Step::Member) return Read::Fault;
  return again.ReadMember(bytes, 0, [](std::string_view) { return true; }, abortRequested);
}

void CountOutcome(const FileSearchOutcome& outcome, const std::u16string& display, CompressedSearchResult& result) {
  using Kind = FileSearchOutcome::Kind;
  switch (outcome.kind) {
    case Kind::Searched: ++result.searched; break;
    case Kind::Binary: ++result.binary; break;
    case Kind::MatchError: result.unsearchable.push_back(display); break;
    case Kind::Unreadable: result.problems.push_back({display, {ArchiveFault::Kind::Unreadable, outcome.error, {}}}); break;
    case Kind::Aborted: result.aborted = true; break;
  }
}


// What the search of one compressed file hands the search of each member.
struct MemberSearch {
  FileSearcher& searcher;
  const AbortFlag& abortRequested;
  const std::u16string& path;
  CompressedKind kind;
  size_t memberLimit;
  CompressedReader& reader;
  std::string& bytes;  // the member's, its memory kept for the next
  const FileIdentity& identity;
  HitList& hits;
  int contextLength;
};

// Searches the member at hand, the `ordinal`th, listed as `display`, its
// file name from `nameAt`: as it is expanded when it is large, whole
// otherwise. Whether it was passed over as binary.
bool SearchMember(const MemberSearch& at, const std::u16string& display, size_t nameAt, size_t ordinal,
                  CompressedSearchResult& result) {
  CompressedReader& reader = at.reader;
  std::string& bytes = at.bytes;
  // Binary members are passed over on their head, before the rest is expanded.
  const auto isText = [](std::string_view head) { return !IsBinaryContent(head); };
  // A large member is searched as it is expanded, never held whole.
  Read read = reader.ReadMember(bytes, kDetectionSampleBytes, isText, at.abortRequested, at.searcher.WholeUpTo());
  result.mostHeld = std::max(result.mostHeld, bytes.size());
  if (read == Read::Partial) {
    bool touched = false;
    MemberStream stream(reader);
    const std::optional<FileSearchOutcome> streamed = at.searcher.SearchStream(
        at.abortRequested, display, nameAt, bytes, stream, at.identity, at.hits, at.contextLength, touched);
    if (streamed) {
      // The reader's fault (past the limit, damage) says more than the read's errno.
      if (streamed->kind == FileSearchOutcome::Kind::Unreadable && reader.Fault().kind != ArchiveFault::Kind::None) {
        result.problems.push_back({display, reader.Fault()});
        return false;
      }
      CountOutcome(*streamed, display, result);
      return false;
    }
    // Read whole after all: the rest of it, or all of it again when the search took some.
    read = touched ? ReadMemberAgain(ToNativePath(at.path), at.kind, at.memberLimit, ordinal, bytes, at.abortRequested)
                   : ReadRest(reader, bytes) ? Read::Whole : Read::Fault;
    if (read == Read::Fault && touched) {
      result.problems.push_back({display, {ArchiveFault::Kind::Unreadable, EIO, {}}});
      return false;
    }
  }
  if (read == Read::Fault) {
    result.problems.push_back({display, reader.Fault()});
    return false;  // the reader ends the file when it cannot go on
  }
  if (read == Read::Declined) {
    if (IsAborted(at.abortRequested)) return false;
    ++result.binary;
    return true;
  }
  result.mostHeld = std::max(result.mostHeld, bytes.size());
  CountOutcome(at.searcher.SearchBytes(at.abortRequested, display, nameAt, bytes, at.identity, at.hits,
                                       at.contextLength),
               display, result);
  return false;
}

}  // namespace

bool CompressedSearch::Handles(std::u16string_view path) {
  return CompressedKindOfName(FileNameViewOf(path)) != CompressedKind::None;
}

bool CompressedSearch::IsCompressedFile(const std::u16string& path) {
  CompressedReader reader;
  if (!reader.Open(ToNativePath(path), CompressedKindOfName(FileNameViewOf(path)), kMemberLimitBytes)) return true;
  ArchiveMember member;
  return reader.Next(member) != Step::Member || reader.IsCompressed();
}

CompressedSearchResult CompressedSearch::Search(FileSearcher& searcher, const AbortFlag& abortRequested,
                                                const std::u16string& path, HitList& hits,
                                                int contextLength) const {
  CompressedSearchResult result;
  const std::u16string_view fileName = FileNameViewOf(path);
  const CompressedKind kind = CompressedKindOfName(fileName);
  // A stream's one member is named by the file: the pattern can rule it out unopened.
  if (kind == CompressedKind::Stream && !filter_.Wants(fileName, StreamMemberName(fileName))) return result;

  thread_local CompressedReader reader;
  thread_local std::string bytes;
  FileIdentity identity;
  if (!reader.Open(ToNativePath(path), kind, memberLimit_, &identity)) {
    if (reader.Fault().kind == ArchiveFault::Kind::Unreadable)
      result.unreadable = reader.Fault().error;
    else
      result.problems.push_back({path, reader.Fault()});
    reader.Close();
    return result;
  }
  std::u16string lastMember = path;
  bool lastWasBinary = false;
  ArchiveMember member;
  size_t ordinal = 0;  // of the member at hand, among those Next gave
  for (;; ++ordinal) {
    if (IsAborted(abortRequested)) {
      result.aborted = true;
      break;
    }
    const Step step = reader.Next(member);
    if (step == Step::End) break;
    if (step == Step::Fault) {
      // Passing over a member can find it too large; damage belongs to the file.
      const bool tooLarge = reader.Fault().kind == ArchiveFault::Kind::TooLarge;
      // Said once: a binary member past the limit is one the limit kept
      // from what follows, and a stream's one member has nothing after it.
      if (tooLarge && lastWasBinary) {
        if (lastMember == path) break;
        --result.binary;
      }
      result.problems.push_back({tooLarge ? lastMember : path, reader.Fault()});
      break;
    }
    lastWasBinary = false;
    if (!reader.IsCompressed()) {
      result.notCompressed = true;
      break;
    }
    const std::u16string memberName = FromNativeName(member.name);
    const std::u16string display = member.name.empty() ? path : MemberPathOf(path, memberName);
    // The list names a member by its archive's name and its path in it.
    const size_t nameAt = member.name.empty() ? path.size() - fileName.size()
                                              : display.size() - memberName.size() - kMemberSeparator.size() -
                                                    fileName.size();
    lastMember = display;
    const std::u16string_view memberFileName =
        member.name.empty() ? StreamMemberName(fileName) : FileNameViewOf(memberName);
    if (!filter_.Wants(fileName, memberFileName)) continue;
    if (member.encrypted) {
      result.problems.push_back({display, {ArchiveFault::Kind::Encrypted, 0, {}}});
      continue;
    }
    if (member.isLink) {
      result.problems.push_back({display, {ArchiveFault::Kind::Link, 0, member.linkTarget}});
      continue;
    }
    const MemberSearch at{searcher, abortRequested, path, kind, memberLimit_, reader, bytes, identity, hits,
                          contextLength};
    lastWasBinary = SearchMember(at, display, nameAt, ordinal, result);
  }
  reader.Close();
  if (bytes.capacity() > kKeptMemberBytes) std::string().swap(bytes);
  return result;
}

}  // namespace trawlscope
