#pragma once
// Rewriting a user's file so that nothing can damage it: a crash, a full disk
// or an abort at any moment leaves the old content or the new one, never a
// mix, never an empty file, never a stray temporary file.
#include <string>
#include <string_view>

#include "platform/files/FileError.h"
#include "platform/files/FileIdentity.h"
#include "platform/files/FileOps.h"

namespace trawlscope {

struct WriteResult {
  WriteResult(bool written = false, FileError error = {}, FileIdentity placed = {})
      : written(written), error(error), placed(placed) {}
  bool written = false;
  FileError error;  // why not
  FileIdentity placed;  // when written: what now stands at the path, as the write left it
};

// Replaces the content of the file at `nativePath`, which was read as
// `asRead` holding `oldBytes`. A symbolic link is followed and its target rewritten; a file with
// several hard links is rewritten in place so they stay one file; otherwise
// the bytes go to a new file beside it that takes the old one's permissions,
// owner, group and extended attributes and is renamed over it. Refused, with
// the file untouched, when the file is read-only or changed since it was read.
// Should the old file take writes just before the rename, too late to refuse,
// its content as it then stands is put back and the result says so.
WriteResult RewriteFile(const std::string& nativePath, std::string_view bytes,
                        std::string_view oldBytes, const FileIdentity& asRead,
                        IFileOps& ops = SystemFileOps());

// Creates or replaces a file with `bytes` (the output file), atomically.
WriteResult WriteWholeFile(const std::string& nativePath, std::string_view bytes,
                           IFileOps& ops = SystemFileOps());

}  // namespace trawlscope
