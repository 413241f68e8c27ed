#include "app/CommandLine.h"

#include <string_view>

namespace trawlscope {

const char kDesktopHelp[] =
    "usage: trawlscope [--help | --version]\n"
    "\n"
    "Searches and replaces in text and XML files of any encoding, in a window.\n"
    "trawlscope-batch runs the same search from a terminal. The manual page\n"
    "trawlscope(1) tells more.\n"
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

}  // namespace trawlscope
