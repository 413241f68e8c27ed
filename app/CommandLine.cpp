#include "app/CommandLine.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace trawlscope {

const char kDesktopHelp[] =
    "usage: trawlscope [--help | --version] [FILE-OR-FOLDER...]\n"
    "\n"
    "Searches and replaces in text and XML files of any encoding, in a window.\n"
    "trawlscope-batch runs the same search from a terminal. The manual page\n"
    "trawlscope(1) tells more.\n"
    "\n"
    "Files and folders named are put in the Search path, as if dropped on it.\n"
    "\n"
    "Options:\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "The standard options of Qt programs, such as -platform NAME, also work.\n";

StartRequest ReadCommandLine(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--") break;
    if (argument == "--help" || argument == "-h") return StartRequest::Help;
    if (argument == "--version" || argument == "-v") return StartRequest::Version;
  }
  return StartRequest::Run;
}

std::vector<std::string> PathArguments(int argc, const char* const* argv) {
  std::vector<std::string> paths;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (optionsEnded || (!argument.empty() && argument.front() != '-')) {
      std::error_code error;
      const std::filesystem::path absolute = std::filesystem::absolute(std::string(argument), error);
      paths.push_back(error ? std::string(argument) : absolute.lexically_normal().string());
    }
  }
  return paths;
}

}  // namespace trawlscope
