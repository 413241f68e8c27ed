#pragma once
// Where the settings file lives: beside the program for a portable copy that
// brought its settings file along, else in the user's configuration folder.
// A writable program folder alone is no sign of a portable copy: root can
// write /usr/bin, and would keep its settings there.
#include <string>

namespace trawlscope {

struct SettingsEnvironment {
  std::string executablePath;  // native, absolute
  std::string xdgConfigHome;   // empty when unset
  std::string home;
};

// The executable's path with its extension replaced by ".ini" when that file
// exists; otherwise $XDG_CONFIG_HOME/trawlscope/trawlscope.ini (default
// ~/.config).
std::string SettingsFilePath(const SettingsEnvironment& environment);

// The running program's environment (/proc/self/exe, XDG_CONFIG_HOME, HOME).
SettingsEnvironment CurrentSettingsEnvironment();

}  // namespace trawlscope
