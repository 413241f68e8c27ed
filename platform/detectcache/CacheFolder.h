#pragma once
// The program's folder of caches: under $XDG_CACHE_HOME (or ~/.cache), used
// only while it is the user's own, a real folder closed to everyone else.
#include <string>

#include "platform/files/FileDescriptor.h"
#include "platform/files/FileOps.h"
#include "platform/files/Outcome.h"

namespace trawlscope {

// $XDG_CACHE_HOME/trawlscope, or $HOME/.cache/trawlscope when the variable
// is unset or not an absolute path (as the XDG rules say); empty when
// neither gives a place.
std::string CacheFolder(const char* xdgCacheHome, const char* home);
// The same from this process's environment.
std::string CurrentCacheFolder();

// A descriptor of `folder`, made (with its missing parents) mode 0700 when
// it is not there. Refused (EPERM at FileStep::Open) when it is not a
// folder, or another user's, or open to group or others; ELOOP when it is a link.
Outcome<FileDescriptor> OpenPrivateCacheFolder(const std::string& folder, IFileOps& ops = SystemFileOps());

}  // namespace trawlscope
