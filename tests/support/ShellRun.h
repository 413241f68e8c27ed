// A shell command run as a script runs it: what it printed and how it ended.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace trawlscope::test {

struct ShellRun {
  std::string out;  // standard output only
  int status = -1;  // the exit status, or -1 when a signal ended it
};

inline ShellRun RunShell(const std::string& command) {
  ShellRun ran;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return ran;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) ran.out.append(buffer, got);
  const int status = pclose(pipe);
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ran;
}

}  // namespace trawlscope::test
