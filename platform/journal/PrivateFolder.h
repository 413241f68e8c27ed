#pragma once
// The journal holds copies of the user's files and is trusted to put them
// back: like ssh with its keys, it uses only a folder that is the user's own
// and closed to everyone else, under folders that no other user may change.
#include <string>

#include "platform/files/FileOps.h"

namespace trawlscope {

enum class FolderTrust {
  Private,       // the user's own, a real folder, mode 0700 or tighter
  NotAFolder,    // a file, a link (dangling or not) or something else stands there
  NotOwned,      // another user's
  OpenToOthers,  // group or others may read, write or enter it (above it: write)
  Unusable,      // it cannot be created or looked at: `error` says why
};

struct FolderCheck {
  FolderTrust trust = FolderTrust::Private;
  int error = 0;     // errno, for Unusable
  std::string path;  // the folder checked (native), or the first one found unsafe
  bool above = false;  // `path` is a folder above the journal's own
  explicit operator bool() const { return trust == FolderTrust::Private; }
};

// Creates the folder and its missing parents, readable by the user only, then
// checks it as CheckPrivateFolder does.
FolderCheck MakePrivateFolder(const std::string& folder, IFileOps& ops = SystemFileOps());

// Whether an existing folder may be trusted: it must be the user's own, a
// real folder closed to others; every folder above it, links followed, must
// be the user's or root's and writable by no one else, unless it is root's
// and sticky (as /tmp), where others cannot move what they do not own.
FolderCheck CheckPrivateFolder(const std::string& folder, IFileOps& ops = SystemFileOps());

}  // namespace trawlscope
