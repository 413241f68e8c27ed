#pragma once
// The desktop program's own command-line options. They are read before the
// window system is reached, so that --help and --version work without a
// display; every other argument is left to Qt.

#include <string>
#include <vector>

namespace trawlscope {

enum class StartRequest { Run, Help, Version };

// What the arguments ask for: the first --help or --version wins.
StartRequest ReadCommandLine(int argc, const char* const* argv);

// The files and folders named on the command line (what a file manager's
// "Open with" passes), absolute, after Qt has taken its own options out of
// argv: every argument not starting with "-", and all after "--".
std::vector<std::string> PathArguments(int argc, const char* const* argv);

extern const char kDesktopHelp[];

}  // namespace trawlscope
