#pragma once
// Folders of the program's own (the journal's, the cache's) made, listed and
// removed through the system-call seam, so that each failure can be injected.
#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"

namespace trawlscope {

// Makes `folder` with `mode`, and its missing parents; done when it is there already.
Outcome<> MakeFolders(const std::string& folder, mode_t mode, IFileOps& ops = SystemFileOps());

// The names in `folder`, "." and ".." left out, in the order the file system gives them.
Outcome<std::vector<std::string>> FolderNames(const std::string& folder, IFileOps& ops = SystemFileOps());

// Removes `folder` and all it holds, without following a link in it; done
// when it is not there.
Outcome<> RemoveFolderTree(const std::string& folder, IFileOps& ops = SystemFileOps());

}  // namespace trawlscope
