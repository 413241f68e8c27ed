#include "search/archive/CompressedSearch.h"

#include "platform/archive/CompressedReader.h"
#include "platform/codepage/BinaryContent.h"
#include "platform/codepage/CodePageDetector.h"
#include "platform/files/NativePath.h"
#include "search/archive/MemberPath.h"
#include "search/listing/PathHelpers.h"

namespace trawlscope {
namespace {

// A member's bytes up to this size keep their memory for the next member.
constexpr size_t kKeptMemberBytes = 16u << 20;

using Step = CompressedReader::Step;
using Read = CompressedReader::Read;

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
  // Binary members are passed over on their head, before the rest is expanded.
  const auto isText = [](std::string_view head) { return !IsBinaryContent(head); };
  std::u16string lastMember = path;
  ArchiveMember member;
  for (;;) {
    if (IsAborted(abortRequested)) {
      result.aborted = true;
      break;
    }
    const Step step = reader.Next(member);
    if (step == Step::End) break;
    if (step == Step::Fault) {
      // Passing over a member can find it too large; damage belongs to the file.
      const bool tooLarge = reader.Fault().kind == ArchiveFault::Kind::TooLarge;
      result.problems.push_back({tooLarge ? lastMember : path, reader.Fault()});
      break;
    }
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
    const Read read = reader.ReadMember(bytes, kDetectionSampleBytes, isText, abortRequested);
    if (read == Read::Fault) {
      result.problems.push_back({display, reader.Fault()});
      continue;  // the reader ends the file when it cannot go on
    }
    if (read == Read::Declined) {
      if (IsAborted(abortRequested)) continue;
      ++result.binary;
      continue;
    }
    const FileSearchOutcome outcome =
        searcher.SearchBytes(abortRequested, display, nameAt, bytes, identity, hits, contextLength);
    using Kind = FileSearchOutcome::Kind;
    switch (outcome.kind) {
      case Kind::Searched: ++result.searched; break;
      case Kind::Binary: ++result.binary; break;
      case Kind::MatchError: result.unsearchable.push_back(display); break;
      case Kind::Unreadable: result.problems.push_back({display, {ArchiveFault::Kind::Unreadable, outcome.error, {}}}); break;
      case Kind::Aborted: result.aborted = true; break;
    }
  }
  reader.Close();
  if (bytes.capacity() > kKeptMemberBytes) std::string().swap(bytes);
  return result;
}

}  // namespace trawlscope
