#pragma once
// Rewriting a file too large to hold in memory, as safely as RewriteFile
// does: the new bytes go, as they are made, into a temporary file beside
// it, which then takes its place (or, for a file of several links or whose
// owner a new file could not take, is copied into it). Nothing touches the
// file before Finish, and a rewrite dropped before it leaves no temporary file.
#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files/SafeFileWriter.h"

namespace trawlscope {

namespace safewrite {
class HeldFile;
class Target;
class TemporaryFile;
}  // namespace safewrite

class StreamedRewrite {
 public:
  explicit StreamedRewrite(IFileOps& ops = SystemFileOps());
  ~StreamedRewrite();
  StreamedRewrite(const StreamedRewrite&) = delete;
  StreamedRewrite& operator=(const StreamedRewrite&) = delete;

  // For the file at `nativePath`, read as `asRead`: refused as RewriteFile
  // refuses, with nothing written.
  Outcome<> Begin(const std::string& nativePath, const FileIdentity& asRead, Links links = Links::NotFollowed);
  bool HasBegun() const { return temporary_ != nullptr; }
  // False once an append failed; Finish then says why.
  bool Append(std::string_view bytes);
  // `count` bytes of the open file `from` at `offset`, as they are.
  bool AppendFrom(int from, std::uint64_t offset, std::uint64_t count);
  // The new bytes take the file's place, or the file stays as it was.
  Outcome<FileIdentity> Finish();

 private:
  Outcome<FileIdentity> InPlace();

  IFileOps& ops_;
  std::unique_ptr<safewrite::Target> target_;  // before the files in it, which it outlives
  struct stat info_ {};
  FileIdentity asRead_;
  std::unique_ptr<safewrite::HeldFile> original_;
  std::unique_ptr<safewrite::TemporaryFile> temporary_;
  std::uint64_t size_ = 0;
  Outcome<> appended_;  // why an append failed, the first time one did
};

}  // namespace trawlscope
