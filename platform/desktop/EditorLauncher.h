#pragma once
// Opening a file in the user's own program for its type, through GIO's
// associations, and starting programs detached from us. Never through a shell.
#include <optional>
#include <string>
#include <vector>

namespace trawlscope {

struct AssociatedProgram {
  std::string executable;
  bool needsTerminal = false;  // the desktop entry says Terminal=true
};

// The default application for the file's content type; nothing when none.
std::optional<AssociatedProgram> DefaultProgramFor(const std::string& nativePath);

// A terminal emulator to run terminal programs in, or nothing.
std::optional<std::string> FindTerminalEmulator();

// Starts argv[0] (searched in PATH) with the rest as its arguments, detached:
// it outlives us and leaves no zombie. False when it could not be started.
bool LaunchDetached(const std::vector<std::string>& argv);

}  // namespace trawlscope
