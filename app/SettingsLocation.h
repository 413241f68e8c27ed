#pragma once
// Where the settings file lives: beside the program when that is possible,
// else in the user's configuration folder, so that settings are never lost
// just because an installed program's folder is read-only.
#include <string>

namespace trawlscope {

struct SettingsEnvironment {
  std::string executablePath;  // native, absolute
  std::string xdgConfigHome;   // empty when unset
  std::string home;
};

// The executable's path with its extension replaced by ".ini" when that file
// exists or its folder is writable; otherwise
// $XDG_CONFIG_HOME/trawlscope/trawlscope.ini (default ~/.config).
std::string SettingsFilePath(const SettingsEnvironment& environment);

// The running program's environment (/proc/self/exe, XDG_CONFIG_HOME, HOME).
SettingsEnvironment CurrentSettingsEnvironment();

}  // namespace trawlscope
