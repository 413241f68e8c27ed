#pragma once
// Showing a folder in the desktop's file manager, through GIO's handler for
// its file:// URI. Never through a shell.
#include <string>

namespace trawlscope {

// False when the URI could not be made or no handler took it.
bool OpenFolderInFileManager(const std::string& nativeFolder);

}  // namespace trawlscope
