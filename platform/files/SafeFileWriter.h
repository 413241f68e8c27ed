#pragma once
// Rewriting a user's file so that nothing can damage it: a crash, a full disk
// or an abort at any moment leaves the old content or the new one, never a
// mix, never an empty file, never a stray temporary file.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files/FileError.h"
#include "platform/files/FileIdentity.h"
#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"

namespace trawlscope {

// Whether a write follows a symbolic link at the path it is given. A replace
// does not: a link in a searched folder may lead anywhere, another user's
// files included. Folders on the path are followed either way.
enum class Links : std::uint8_t { NotFollowed, Followed };

// Each write gives back what now stands at the path, as it left it, or why
// nothing was written.

// Replaces the content of the file at `nativePath`, which was read as
// `asRead` holding `oldBytes`. A symbolic link is refused, or with
// `Links::Followed` resolved once and its target rewritten; a file with
// several hard links, or whose owner and group a new file could not take, is
// rewritten in place so they stay one file, the same owner's; otherwise
// the bytes go to a new file beside it that takes the old one's permissions,
// owner, group and extended attributes and is renamed over it. Refused, with
// the file untouched, when the file is read-only or changed since it was
// read, or when its set-user-ID or set-group-ID bit could not be kept.
// Should the old file take writes just before the rename, too late to refuse,
// its content as it then stands is put back and the result says so.
Outcome<FileIdentity> RewriteFile(const std::string& nativePath, std::string_view bytes,
                                  std::string_view oldBytes, const FileIdentity& asRead,
                                  IFileOps& ops = SystemFileOps(), Links links = Links::NotFollowed);

// Creates or replaces a file with `bytes` (the output file), atomically. A
// file it replaces keeps its mode; a new one gets 0666 less the umask.
Outcome<FileIdentity> WriteWholeFile(const std::string& nativePath, std::string_view bytes,
                                     IFileOps& ops = SystemFileOps());

// The same for a file only its user may read and write (0600), whatever stood there.
Outcome<FileIdentity> WritePrivateFile(const std::string& nativePath, std::string_view bytes,
                                       IFileOps& ops = SystemFileOps());

// The same with the first `count` bytes of the open file `from`, copied a
// piece at a time: a file too large to hold in memory.
Outcome<FileIdentity> WritePrivateFileFrom(const std::string& nativePath, int from, std::uint64_t count,
                                           IFileOps& ops = SystemFileOps());

// Whether the last step of `nativePath` is a symbolic link (not what it names).
bool NamesSymbolicLink(const std::string& nativePath);

// The same as a new file, which takes the name only while nothing stands
// there, not even a dangling link: EEXIST at FileStep::Save otherwise.
Outcome<FileIdentity> WriteNewPrivateFileFrom(const std::string& nativePath, int from, std::uint64_t count,
                                              IFileOps& ops = SystemFileOps());

// The name the writer gives its temporary file beside `name`, for a listing
// to pass over: ".NAME.trawlscope-XXXXXX". True for any such name.
bool IsWritersTemporaryName(std::string_view name);

}  // namespace trawlscope
