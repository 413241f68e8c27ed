#include "app/SettingsLocation.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace trawlscope {
namespace {

std::string WithIniExtension(const std::string& path) {
  const auto slash = path.rfind('/');
  const auto dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? path.substr(0, dot) : path) + ".ini";
}

}  // namespace

std::string SettingsFilePath(const SettingsEnvironment& environment) {
  if (!environment.executablePath.empty()) {
    const std::string besideProgram = WithIniExtension(environment.executablePath);
    if (access(besideProgram.c_str(), F_OK) == 0) return besideProgram;
  }
  const std::string configHome = !environment.xdgConfigHome.empty()
                                     ? environment.xdgConfigHome
                                     : environment.home + "/.config";
  return configHome + "/trawlscope/trawlscope.ini";
}

SettingsEnvironment CurrentSettingsEnvironment() {
  SettingsEnvironment environment;
  std::error_code error;
  environment.executablePath = std::filesystem::read_symlink("/proc/self/exe", error).string();
  // XDG says a relative XDG_CONFIG_HOME is invalid and must be ignored.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/')
    environment.xdgConfigHome = xdg;
  if (const char* home = std::getenv("HOME")) environment.home = home;
  return environment;
}

}  // namespace trawlscope
